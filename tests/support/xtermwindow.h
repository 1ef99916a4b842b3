#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// Debian's xterm on the test desktop with bash in it (no user configuration):
// the shell prints `firstLine`, then waits at the prompt "$ ".
class XtermWindow {
 public:
  ~XtermWindow();

  // Starts xterm and waits until the shell is at its prompt.
  bool start(const QString& firstLine);
  qint64 processId() const { return process_.processId(); }

  // Clicks the character cell (`row`, `column`), counted from 0 at the top
  // left, `times` times in a row: twice highlights the word there, once
  // clears the highlight.
  bool click(int row, int column, int times);
  // The shell's command line as it stands, read through a key bound in the
  // shell that changes nothing; nothing when the shell does not answer.
  std::optional<QString> commandLine();

 private:
  QProcess process_;
  QTemporaryDir folder_;
};
