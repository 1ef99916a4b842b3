#pragma once

#include "platform/childprocess.h"
#include "platform/linux/terminalemulator.h"
#include "platform/terminaldriver.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

// Terminal windows as tmux sessions on a private server, each shown by the
// user's terminal emulator attached to it. tmux gives what a plain emulator
// cannot: a command can be typed into a window that is already open, and we
// can tell whether that window still exists.
//
// A window is one session running the user's login shell. Commands are typed
// with `send-keys -l` from an argument list, so nothing of them is interpreted
// by a shell of ours. Once the emulator has attached, the session ends when
// its window is closed (the session option destroy-unattached, set when the
// first client arrives), so closed windows leave no shells behind. A window
// that never shows is killed before anything is typed into it. tmux titles
// each window "Veltrine (terminal <id>)", which finds it on the screen.
//
// A window's id is 16 random hex digits, and its session is named after it.
// tmux's own session numbers ($0, $1, ...) are no identity: they start again
// at $0 whenever the server has exited with its last session, so a window
// closed long ago and one opened since could share one. Every command
// addresses the session by its exact name, so it reaches that window or none.
class TmuxTerminalDriver final : public TerminalDriver {
 public:
  struct Options {
    // The private server's socket; empty: "terminal.tmux" in the private
    // temporary folder.
    QString socketPath;
    // The emulator that shows the windows; none: the first one on the PATH.
    std::optional<TerminalEmulator> emulator;
    // How long a new window may take to show before it counts as failed.
    std::chrono::milliseconds showTimeout = std::chrono::seconds(10);
  };

  TmuxTerminalDriver();
  explicit TmuxTerminalDriver(Options options);

  QCoro::Task<std::optional<QString>> openWindow(QString command) override;
  QCoro::Task<bool> runInWindow(QString windowId, QString command) override;
  // Through the installed WindowActivator, by the attached emulator's
  // process and the window's title.
  QCoro::Task<bool> activateWindow(QString windowId) override;

  QString socketPath() const { return options_.socketPath; }

  // The argument that makes tmux's command-line parser pass `text` through
  // unchanged: an argument ending in ";" would otherwise be cut there as a
  // command separator.
  static QString literalArgument(const QString& text);

  // The title tmux gives the window of `windowId` in its terminal emulator.
  static QString windowTitle(const QString& windowId);
  // The name of the tmux session behind the window of `windowId`.
  static QString sessionName(const QString& windowId);

 private:
  QCoro::Task<ChildProcess::Result> tmux(QStringList arguments);
  QCoro::Task<std::optional<qint64>> clientPid(QString windowId);
  QCoro::Task<bool> hasClient(QString windowId);
  QCoro::Task<bool> waitForClient(QString windowId);
  QCoro::Task<bool> type(QString windowId, QString command);
  QCoro::Task<void> kill(QString windowId);

  Options options_;
  QString tmuxPath_;
};
