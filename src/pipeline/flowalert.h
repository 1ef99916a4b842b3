#pragma once

#include <QCoroTask>
#include <QString>

#include <functional>

// The warning the request flow shows when the service asks for one (a
// recording that was too long, a warning that came with an answer): the
// program's name, the message and one button to close it.
//
// The flow waits until the user closes it, but without a nested event loop:
// the hotkeys, the other panels and the network go on meanwhile.
class FlowAlert {
 public:
  using Presenter = std::function<QCoro::Task<void>(QString message)>;

  // Shows the alert and finishes when the user has closed it.
  static QCoro::Task<void> show(QString message);

  // Replaces the message box (tests); an empty function puts it back.
  static void setPresenterForTesting(Presenter presenter);
};
