#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// Debian's xterm on the test desktop, with bash in it (no user configuration):
// the shell prints `firstLine`, then waits at the prompt "$ ". What stands on
// its command line can be read back at any time through a key bound in the
// shell, which changes nothing. Cells are those of the "fixed" font, 6x13.
class XtermWindow {
 public:
  XtermWindow() = default;
  ~XtermWindow();  // ends xterm and the shell
  XtermWindow(const XtermWindow&) = delete;
  XtermWindow& operator=(const XtermWindow&) = delete;

  // Starts xterm and waits until the shell is at its prompt.
  bool start(const QString& firstLine);
  qint64 processId() const { return process_.processId(); }

  // Types `text` into the window with the keyboard focus, as the user does.
  static bool type(const QString& text);
  // Double-clicks the character cell (`row`, `column`), counted from 0 at
  // the top left: xterm highlights the word there.
  bool doubleClick(int row, int column);
  // The shell's command line as it stands; nothing when the shell does not
  // answer (the key went elsewhere).
  std::optional<QString> commandLine();

 private:
  QProcess process_;
  QTemporaryDir folder_;
};
