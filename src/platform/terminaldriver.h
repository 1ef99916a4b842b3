#pragma once

#include <QCoroTask>
#include <QString>

#include <optional>

// Runs shell commands where the user can watch them: each "window" is an
// interactive login shell shown in the user's terminal emulator. A command is
// typed into that shell exactly as given (never re-quoted or pasted into a
// command line of ours) and followed by Return.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed no command can run.
class TerminalDriver {
 public:
  virtual ~TerminalDriver() = default;

  // Opens a new window and runs `command` in it. Gives the window's id once
  // the window shows, or nothing when no window could be opened (no terminal
  // emulator, no display); then nothing ran. The id is a text of its own that
  // no other window ever carries, not even one opened after this one closed.
  // The window is not brought to the front.
  virtual QCoro::Task<std::optional<QString>> openWindow(QString command) = 0;

  // Runs `command` in the window `windowId` that openWindow gave (the window
  // is not raised). False, without running anything, when that window is gone
  // (the user closed it or its shell ended) or cannot be reached.
  virtual QCoro::Task<bool> runInWindow(QString windowId, QString command) = 0;

  // Brings the window `windowId` to the front with the keyboard focus,
  // restoring it when it was minimised. False when it is gone or could not be
  // found on the screen (or the desktop has no means to do it).
  virtual QCoro::Task<bool> activateWindow(QString windowId) = 0;

  static TerminalDriver& current();
  // Installs `driver` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(TerminalDriver* driver);
};
