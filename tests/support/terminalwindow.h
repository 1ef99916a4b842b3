#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// A terminal emulator of the test desktop with bash in it (no user
// configuration): Debian's xterm, or LXTerminal (VTE, whose copy and paste
// keys take Shift). The shell prints `firstLine`, then waits at the prompt "$ ".
class TerminalWindow {
 public:
  enum class Program { xterm, lxterminal };

  explicit TerminalWindow(Program program) : program_(program) {}
  ~TerminalWindow();

  // Starts xterm and waits until the shell is at its prompt.
  bool start(const QString& firstLine);
  qint64 processId() const { return process_.processId(); }

  // Clicks the character cell (`row`, `column`), counted from 0 at the top
  // left, `times` times in a row: twice highlights the word there, once
  // clears the highlight. xterm only.
  bool click(int row, int column, int times);
  // The shell's command line as it stands, read through a key bound in the
  // shell that changes nothing; nothing when the shell does not answer.
  std::optional<QString> commandLine();
  // Types `text` on an emptied command line until the line holds it: keys
  // typed before the terminal takes them are lost. False when it never did.
  bool typeAtPrompt(const QString& text);

 private:
  Program program_;
  QProcess process_;
  QTemporaryDir folder_;
};
