#pragma once

#include <QString>
#include <QStringList>

// The test desktop's window manager, and test desktops of other window
// managers for tests that must hold under each of them: such a test runs
// itself again in a desktop of its own (scripts/test-desktop.sh with
// VELTRINE_TEST_WM set), since a test process keeps the display it started on.
namespace WindowManagerDesktop {

// The window managers the desktop can run.
QStringList all();

// The window manager of the test desktop this process runs on ("openbox"
// unless the desktop was started with another).
QString current();
// Its process, when the desktop says it; 0 otherwise.
qint64 currentProcessId();

// Asks the window manager of this test desktop to show its workspace `index`
// (from 0), making as many as that needs; false when it could not be asked.
bool showWorkspace(int index);

struct Run {
  bool passed = false;
  QString output;  // the test's own output, then the desktop's messages
};
// Runs the current test (this executable, filtered to its full name) once
// more in a new test desktop whose window manager is `name`, and tears that
// desktop down afterwards.
Run runCurrentTestUnder(const QString& name);

}  // namespace WindowManagerDesktop
