#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// A terminal emulator of the test desktop with bash in it (no user
// configuration): Debian's xterm, LXTerminal (VTE, whose copy and paste keys
// take Shift), Konsole (Qt, shifted keys, its screen a text with its
// selection over accessibility) or QTerminal (Qt, shifted keys, no
// accessibility). The shell prints `firstLine`, then waits at the prompt "$ ".
class TerminalWindow {
 public:
  enum class Program { xterm, lxterminal, konsole, qterminal };

  explicit TerminalWindow(Program program) : program_(program) {}
  ~TerminalWindow();

  // Starts xterm and waits until the shell is at its prompt.
  bool start(const QString& firstLine);
  qint64 processId() const { return process_.processId(); }

  // Clicks the character cell (`row`, `column`), counted from 0 at the top
  // left, `times` times in a row: twice highlights the word there, once
  // clears the highlight. Not in LXTerminal.
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
  QTemporaryDir folder_;
};
