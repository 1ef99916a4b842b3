#pragma once

#include "openclaw/gatewayagentevent.h"
#include "openclaw/gatewaycredential.h"
#include "openclaw/gatewayprobe.h"
#include "openclaw/openclawstatus.h"
#include "openclaw/serialtaskqueue.h"

#include <QCoroTask>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

// The bridge to a local OpenClaw agent: its detection and status, the relay of
// instructions to its gateway's chat (answers stream into the result panel),
// commands typed into terminal windows, and the install, uninstall, start and
// stop of the home page. Main thread only; nothing here throws.
//
// Status: `unknown` until the first refresh ends, then `notInstalled`,
// `installedServiceDown` or `ready`. start() runs a first refresh and then one
// every 15 seconds; the audio upload and the launch report read `status` with
// a plain read that triggers no check. Refreshes may overlap: the result of
// one that ends after a later-started one has published is dropped.
//
// Nothing blocks the main thread: shells, probes and terminal commands run
// asynchronously, each bounded by a time-out.
class OpenClawManager : public QObject {
  Q_OBJECT
  Q_PROPERTY(OpenClawStatus status READ status NOTIFY statusChanged)
  Q_PROPERTY(bool isStartingGateway READ isStartingGateway WRITE setStartingGateway NOTIFY isStartingGatewayChanged)
  Q_PROPERTY(bool terminalUnavailable READ terminalUnavailable NOTIFY terminalUnavailableChanged)

 public:
  // Receives the agent's finished answer (possibly empty), at most once.
  using ReplyHandler = std::function<void(const QString& reply)>;
  // Receives, instead of a reply, the message shown when the answer could
  // not be had (no credential, the gateway failed), at most once.
  using FailureHandler = std::function<void(const QString& message)>;

  static OpenClawManager& shared();

  // Called once at start-up: a first refresh now, then startStatusTimer().
  void start();

  OpenClawStatus status() const { return status_; }

  // A gateway start is under way. The home page's start action tests and sets
  // it before starting startGateway(), which clears it when it ends.
  bool isStartingGateway() const { return isStartingGateway_; }
  void setStartingGateway(bool starting);

  // The last terminal window asked for could not be opened (no terminal
  // emulator or no tmux, no display): the home card says so. The next window
  // that opens clears it.
  bool terminalUnavailable() const { return terminalUnavailable_; }

  // The home page's start action: does nothing while a start runs, else marks
  // one as running and starts startGateway(). True when it started one.
  bool requestGatewayStart();

  // Base of every gateway probe: http://127.0.0.1:18789.
  QUrl gatewayURL() const { return gatewayURL_; }
  // Moves the gateway (probes and chat) elsewhere; for tests.
  void setGatewayURLForTesting(const QUrl& url);

  // --- Status and detection ---

  // Recomputes `status`: `ready` when ~/.openclaw exists, the tool is found
  // and the gateway answers; `installedServiceDown` when only the gateway is
  // missing; `notInstalled` otherwise.
  QCoro::Task<void> refreshStatus();
  // Schedules refreshStatus() every 15 seconds, replacing an earlier timer.
  void startStatusTimer();

  // The gateway's root, else "v1/models", else "v1/models" with the
  // configured secret: true at the first that gives any HTTP answer.
  QCoro::Task<bool> isGatewayReachable();
  QCoro::Task<bool> probeGateway(QUrl url, QString bearerToken = QString());

  static bool openClawHomeExists();
  static QStringList candidateBinaryPaths();
  // "command -v openclaw" in the login shell (bounded by a time-out); also
  // remembered for diagnostics().
  QCoro::Task<std::optional<QString>> lookUpBinaryWithLoginShell();
  // The first executable candidate, else the login shell's answer.
  QCoro::Task<std::optional<QString>> locateOpenClawBinary();
  static std::optional<GatewayCredential> readGatewayCredential();

  // Seven facts for the launch report, all texts, computed afresh (the login
  // shell's answer is the last one a refresh got, so this never waits):
  // "configExists", "binaryFound", "credentialExists" ("true"/"false"),
  // "binaryPath" (or "not_found"), "credentialMode" (or "missing"),
  // "gatewayURL" (absolute) and "status" ("unknown", "not_installed",
  // "service_down" or "installed"). The secret is never part of it.
  QMap<QString, QString> diagnostics() const;

  // --- The service's instructions ---

  // `message` unchanged when `selectedText` is absent or blank; else the
  // selection (untrimmed) framed as context ahead of it.
  static QString composeWithSelection(const QString& message, const std::optional<QString>& selectedText);

  // Sends `text` to the gateway's chat and streams the answer into the result
  // panel as markdown: "connecting" pinned, each piece pinned, the whole
  // answer unpinned; a missing credential or a failure shows a message
  // instead. `onReply` gets the finished answer, `onFailure` that message:
  // one of the two is called. Starts at once (the connecting panel shows
  // before it returns) and runs on by itself; callers neither wait nor see
  // exceptions.
  void relayToGateway(const QString& text, ReplyHandler onReply = {}, FailureHandler onFailure = {});
  void handleStreamEvent(const GatewayAgentEvent& event, const ReplyHandler& onReply);

  // Routes a command from the service: "/..." or "stop" to the gateway's chat
  // (with `onReply`); an interactive sub-command to a fresh terminal window;
  // anything else to the window where spoken commands pile up. Blank text
  // does nothing; `onReply` and `onFailure` are used only for the gateway.
  void handleVoiceCommand(const QString& text, ReplyHandler onReply = {}, FailureHandler onFailure = {});

  // --- Terminal windows (queued: they run one after another, in order) ---

  // Every window opened for a command is brought to the front once it shows.
  void runInNewTerminalWindow(const QString& command);
  // Types into the remembered window and brings it to the front, opening
  // (and remembering) one when there is none or it was closed. The window is
  // known by the id the terminal gave it, which no later window shares.
  void sendToOpenClawWindow(const QString& command);
  static bool isInteractiveCommand(const QString& command);
  // The id the terminal gave the window of spoken commands; lives only in
  // memory.
  std::optional<QString> openClawWindowId() const { return openClawWindowId_; }
  // No terminal command is queued or running.
  bool isTerminalIdle() const { return terminal_.isIdle(); }

  // --- Lifecycle (the home page's buttons) ---

  // Each opens a terminal window with the command and then watches the
  // status; when no window could be opened there is nothing to watch.
  void installOpenClaw();
  void uninstallOpenClaw();
  void stopGateway();
  // Sets up the credential and the configuration, starts the gateway's
  // service (or installs it), falls back to running the gateway in a window,
  // completes the configuration the start wrote, and clears isStartingGateway
  // at its end. Every start command runs only once a credential is saved.
  // When a window it needs cannot be opened it ends there rather than wait
  // for a gateway nothing started.
  QCoro::Task<void> startGateway();

  // Saves a token credential (mode "token", 48 random hex digits) through the
  // tool's own commands when the configuration holds neither a token nor a
  // password in any form, or when there is no configuration file yet; both
  // commands have finished when it ends. Nothing when the file cannot be read
  // or is not a JSON object.
  QCoro::Task<void> ensureGatewayCredential();

  // Sets gateway.mode and switches the chat endpoint on when the
  // configuration lacks them, one after the other (both rewrite the same
  // file). Nothing when the configuration cannot be read.
  QCoro::Task<void> ensureGatewayConfig();
  QCoro::Task<bool> isGatewayServiceLoaded();
  // The gateway's error log says it refused to start for want of a mode. (A
  // start also reads the tool's daily log, see OpenClawDailyLog.)
  static bool gatewayLogShowsModeUnset();

 Q_SIGNALS:
  void statusChanged();
  void isStartingGatewayChanged();
  void terminalUnavailableChanged();
  // A terminal command queue has drained (see isTerminalIdle()).
  void terminalIdle();

 private:
  OpenClawManager();

  void setStatus(OpenClawStatus status);
  void setTerminalUnavailable(bool unavailable);
  QCoro::Task<void> relay(QString text, ReplyHandler onReply, FailureHandler onFailure);
  // Opens a window with `command` and brings it to the front; its id, or
  // nothing when none opened.
  QCoro::Task<std::optional<QString>> openNewWindow(QString command);
  QCoro::Task<void> bringToFrontOnceShown(QString window);
  // Notes in `opened` (when given) whether the window opened.
  QCoro::Task<void> openNewWindowNoting(QString command, bool* opened);
  // Opens a window with `command` in its turn among the terminal commands;
  // true when it opened.
  QCoro::Task<bool> runInNewTerminalWindowAndWait(QString command);
  QCoro::Task<void> typeInOpenClawWindow(QString command);
  QCoro::Task<bool> runGatewayStartCommand();
  QCoro::Task<void> finishStart();
  QCoro::Task<bool> waitForGateway(int checks);
  QCoro::Task<void> install();
  QCoro::Task<void> uninstall();
  QCoro::Task<void> stop();
  QCoro::Task<void> watchInstall();
  QCoro::Task<void> watchUninstall();
  // `secret`, when given, is part of `command` and kept out of the log.
  QCoro::Task<void> runConfigCommand(QString command, QString secret = QString());

  OpenClawStatus status_ = OpenClawStatus::unknown;
  bool isStartingGateway_ = false;
  bool terminalUnavailable_ = false;
  QUrl gatewayURL_;
  QTimer* checkTimer_ = nullptr;
  std::optional<QString> openClawWindowId_;

  quint64 refreshesStarted_ = 0;
  quint64 newestPublished_ = 0;
  std::optional<QString> shellBinary_;  // the login shell's last answer

  GatewayProbe probe_;
  SerialTaskQueue terminal_;
};
