#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// A terminal emulator of the test desktop with bash in it (no user
// configuration): Debian's xterm, the VTE terminals LXTerminal,
// xfce4-terminal, GNOME Terminal and MATE Terminal (whose copy and paste keys
// take Shift, and whose screen is a text with its selection over
// accessibility), Konsole (Qt, shifted keys, accessible as VTE is), QTerminal
// (Qt, shifted keys, no accessibility) or cool-retro-term (Qt Quick, shifted
// keys, an empty accessible text in place of its screen). The shell prints
// `firstLine` at the top of the screen, then waits at the prompt "$ ".
class TerminalWindow {
 public:
  enum class Program { xterm, lxterminal, xfce4terminal, gnometerminal, mateterminal, konsole, qterminal, coolretroterm };
  // What the shell printed before `firstLine`: nothing, or forty lines and a
  // `clear`, after which the screen has scrolled, as any terminal that has
  // been used a while.
  enum class Output { fresh, scrolled };

  explicit TerminalWindow(Program program) : program_(program) {}
  ~TerminalWindow();

  // Starts the terminal and waits until the shell is at its prompt.
  bool start(const QString& firstLine, Output output = Output::fresh);
  // The process that shows the window (GNOME Terminal's windows all belong
  // to its server, not to the command that asked for one).
  qint64 processId() const { return windowProcessId_; }

  // Clicks the character cell (`row`, `column`), counted from 0 at the top
  // left, `times` times in a row: twice highlights the word there, once
  // clears the highlight.
  bool click(int row, int column, int times);
  // The shell's command line as it stands, read through a key bound in the
  // shell that changes nothing; nothing when the shell does not answer.
  std::optional<QString> commandLine();
  // Types `text` on an emptied command line until the line holds it: keys
  // typed before the terminal takes them are lost. False when it never did.
  bool typeAtPrompt(const QString& text);

  // Runs a program that reads lines at the prompt (cat, writing them to a
  // file); false when it did not start.
  bool startLineReader();
  // Whether that program still runs (an interrupt ends it).
  bool lineReaderRuns() const;
  // The lines it read so far, each with its line break.
  QString linesRead() const;

 private:
  Program program_;
  QProcess process_;
  qint64 windowProcessId_ = 0;
  qint64 shellProcessId_ = 0;
  QTemporaryDir folder_;
};
