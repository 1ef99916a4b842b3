#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>

// Runs the second application of desktop tests and talks to it: commands in,
// event lines out (the protocol is in testwindow/main.cpp). Kind::qt is
// veltrine-testwindow; the GTK 3 editor and VTE terminal (gtkwindow.py) are
// the toolkits of most Linux editors and terminals; the Tk editor
// (tkwindow.py) is one of the small X11 tools that name no process on their
// windows and paste beside a selection. Needs the test desktop.
class TestWindow {
 public:
  enum class Kind { qt, gtkEditor, gtkTerminal, tkEditor };

  TestWindow();
  ~TestWindow();  // asks the window to quit, and kills it if it does not
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  // Starts the program and waits until it reports "ready"; false when it did not in time.
  bool start(Kind kind = Kind::qt, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Sets a variable of the program's environment for the next start, for
  // example NO_AT_BRIDGE=1: a GTK application without accessibility.
  void setEnvironment(const QString& name, const QString& value) { environment_.insert(name, value); }
  // Starts the next one the way Flatpak runs an application: in a sandbox of
  // its own (bwrap, its own process ids, so its windows name a process id the
  // desktop does not know) with the accessibility bus reached through a bus
  // proxy in a second sandbox, both below one launching process.
  void setSandboxed(bool sandboxed) { sandboxed_ = sandboxed; }

  // Sends one command line and waits for its "ok"; false on "error" or time-out.
  bool command(const QString& line, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // Waits until `line` has been received (it may have come before the call).
  bool waitForLine(const QString& line, std::chrono::milliseconds timeout = std::chrono::seconds(5));

  // Every line received so far (answers included), oldest first.
  QStringList lines() const { return lines_; }
  void clearLines() { lines_.clear(); }
  qint64 processId() const { return process_.processId(); }
  // The application's own process, below the sandbox's launcher when sandboxed.
  qint64 applicationProcessId() const;

 private:
  void readOutput();

  QProcess process_;
  QProcessEnvironment environment_;
  bool sandboxed_ = false;
  QTemporaryDir sandboxFolder_;
  QByteArray pending_;
  QStringList lines_;
};
