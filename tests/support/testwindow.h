#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>

// Runs veltrine-testwindow, the second application of desktop tests, and
// talks to it: commands in, event lines out. The protocol is described in
// testwindow/main.cpp. Needs the test desktop.
//
// The same protocol drives a GTK 3 text editor and a VTE terminal
// (gtkwindow.py), the toolkits of most Linux editors and terminals.
class TestWindow {
 public:
  enum class Kind { qt, gtkEditor, gtkTerminal };

  TestWindow();
  ~TestWindow();  // asks the window to quit, and kills it if it does not
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  // Starts the program and waits until it reports "ready" (shown, active,
  // its field focused). False when it did not get there in time.
  bool start(Kind kind = Kind::qt, std::chrono::milliseconds timeout = std::chrono::seconds(10));

  // Sends one command line and waits for its "ok"; false on "error" or time-out.
  bool command(const QString& line, std::chrono::milliseconds timeout = std::chrono::seconds(5));

  // Waits until `line` has been received (it may have come before the call).
  bool waitForLine(const QString& line, std::chrono::milliseconds timeout = std::chrono::seconds(5));

  // Every event line received so far (answers to commands included), oldest
  // first; clearLines() forgets them.
  QStringList lines() const { return lines_; }
  void clearLines() { lines_.clear(); }

  qint64 processId() const { return process_.processId(); }

 private:
  void readOutput();

  QProcess process_;
  QByteArray pending_;
  QStringList lines_;
};
