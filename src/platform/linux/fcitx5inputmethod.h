#pragma once

#include "platform/inputmethod.h"

#include <QDBusConnection>
#include <QDBusMessage>

// fcitx5, reached over the session bus: its controller acts on the input
// context that has the focus, whichever way the program there reaches fcitx5
// (its GTK or Qt module, XIM). Switching the input method off commits what it
// composes as the letters typed, in every program; switching it on again
// brings back the same input method. Where fcitx5 does not run there is no
// composition to commit.
class Fcitx5InputMethod final : public InputMethod {
 public:
  explicit Fcitx5InputMethod(QDBusConnection bus = QDBusConnection::sessionBus());

  bool commitComposition() override;

 private:
  QDBusMessage call(const QString& method);

  QDBusConnection bus_;
};
