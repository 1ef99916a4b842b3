#include "openclaw/openclawmanager.h"

#include "core/clock.h"
#include "core/logging.h"
#include "core/overlaypresenter.h"
#include "openclaw/gatewayerror.h"
#include "openclaw/loginshell.h"
#include "openclaw/openclawcommands.h"
#include "openclaw/openclawconfig.h"
#include "openclaw/openclawdailylog.h"
#include "openclaw/openclawgateway.h"
#include "openclaw/openclawgatewayclient.h"
#include "openclaw/openclawinstallation.h"
#include "platform/terminaldriver.h"

#include <QCoroTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <array>

namespace {

using namespace std::chrono_literals;

constexpr auto kStatusInterval = 15s;
// A login shell reads the user's profile, which may load a Node version
// manager: slow, but never allowed to hang a refresh.
constexpr auto kShellLookupTimeout = 10s;
constexpr auto kServiceCheckTimeout = 15s;
constexpr auto kConfigCommandTimeout = 60s;

constexpr int kInstallPasses = 20;
constexpr auto kInstallPassWait = 15s;
constexpr int kUninstallPasses = 20;
constexpr auto kUninstallPassWait = 3s;
constexpr auto kStopWait = 3s;
constexpr int kStartChecks = 15;
constexpr auto kStartCheckWait = 3s;
constexpr auto kRestartWait = 1s;
// A new window is listed by the window manager a moment after it shows.
constexpr int kFrontTries = 30;
constexpr auto kFrontPoll = 100ms;

const QString kConnecting = QStringLiteral("⏳ 正在连接 OpenClaw…");
const QString kNoCredential = QStringLiteral("❌ 无法读取 Gateway 认证凭证，请确认 OpenClaw 已正确安装并启动。");
const QString kFailurePrefix = QStringLiteral("❌ Gateway 请求失败：");
const QString kFailureHint = QStringLiteral("\n请确认 gateway 已启动。");
const QString kEmptyAnswer = QStringLiteral("（OpenClaw 未返回内容）");

QString statusWord(OpenClawStatus status) {
  switch (status) {
    case OpenClawStatus::notInstalled: return QStringLiteral("not_installed");
    case OpenClawStatus::installedServiceDown: return QStringLiteral("service_down");
    case OpenClawStatus::ready: return QStringLiteral("installed");
    case OpenClawStatus::unknown: break;
  }
  return QStringLiteral("unknown");
}

QString boolWord(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

// The lifecycle's waits, shrunk by the test time scale.
QCoro::Task<void> pause(std::chrono::milliseconds duration) { co_await QCoro::sleepFor(Clock::scaled(duration)); }

// 48 hex digits from the system's random source, as the tool makes its own.
QString newGatewayToken() {
  std::array<quint32, 6> words{};
  QRandomGenerator::system()->fillRange(words.data(), words.size());
  return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(words.data()), sizeof(words)).toHex());
}

void showInPanel(const QString& text, bool pinned) { OverlayPresenter::current().showResult(text, true, pinned); }

// Clears the start flag however startGateway() ends.
class StartFlagReset {
 public:
  explicit StartFlagReset(OpenClawManager* manager) : manager_(manager) {}
  ~StartFlagReset() { manager_->setStartingGateway(false); }
  StartFlagReset(const StartFlagReset&) = delete;
  StartFlagReset& operator=(const StartFlagReset&) = delete;

 private:
  OpenClawManager* manager_;
};

}  // namespace

OpenClawManager& OpenClawManager::shared() {
  static OpenClawManager* instance = new OpenClawManager();
  return *instance;
}

OpenClawManager::OpenClawManager() : gatewayURL_(OpenClawGateway::defaultURL()) {
  connect(&terminal_, &SerialTaskQueue::idle, this, &OpenClawManager::terminalIdle);
}

void OpenClawManager::start() {
  QMetaObject::invokeMethod(this, [this] { refreshStatus(); }, Qt::QueuedConnection);
  startStatusTimer();
}

void OpenClawManager::setStatus(OpenClawStatus status) {
  if (status_ == status) return;
  status_ = status;
  Q_EMIT statusChanged();
}

void OpenClawManager::setTerminalUnavailable(bool unavailable) {
  if (terminalUnavailable_ == unavailable) return;
  terminalUnavailable_ = unavailable;
  Q_EMIT terminalUnavailableChanged();
}

void OpenClawManager::setStartingGateway(bool starting) {
  if (isStartingGateway_ == starting) return;
  isStartingGateway_ = starting;
  Q_EMIT isStartingGatewayChanged();
}

bool OpenClawManager::requestGatewayStart() {
  if (isStartingGateway_) return false;
  setStartingGateway(true);
  startGateway();
  return true;
}

void OpenClawManager::setGatewayURLForTesting(const QUrl& url) {
  gatewayURL_ = url;
  OpenClawGatewayClient::shared().setBaseURL(url);
}

// --- Status and detection ---

QCoro::Task<void> OpenClawManager::refreshStatus() {
  const quint64 ticket = ++refreshesStarted_;
  OpenClawStatus found = OpenClawStatus::notInstalled;
  if (openClawHomeExists()) {
    const std::optional<QString> binary = co_await locateOpenClawBinary();
    if (binary) {
      const bool reachable = co_await isGatewayReachable();
      found = reachable ? OpenClawStatus::ready : OpenClawStatus::installedServiceDown;
    }
  }
  // A refresh that started later has already said something newer.
  if (ticket < newestPublished_) co_return;
  newestPublished_ = ticket;
  setStatus(found);
}

void OpenClawManager::startStatusTimer() {
  delete checkTimer_;
  checkTimer_ = new QTimer(this);
  checkTimer_->setInterval(Clock::scaled(std::chrono::milliseconds(kStatusInterval)));
  connect(checkTimer_, &QTimer::timeout, this, [this] { refreshStatus(); });
  checkTimer_->start();
}

QCoro::Task<bool> OpenClawManager::isGatewayReachable() {
  const bool root = co_await probeGateway(gatewayURL_);
  if (root) co_return true;
  const QUrl models = OpenClawGateway::endpoint(gatewayURL_, QStringLiteral("v1/models"));
  const bool open = co_await probeGateway(models);
  if (open) co_return true;
  const std::optional<GatewayCredential> credential = readGatewayCredential();
  if (!credential) co_return false;
  co_return co_await probeGateway(models, credential->secret);
}

QCoro::Task<bool> OpenClawManager::probeGateway(QUrl url, QString bearerToken) {
  co_return co_await probe_.probe(url, bearerToken);
}

bool OpenClawManager::openClawHomeExists() { return OpenClawInstallation::homeExists(); }

QStringList OpenClawManager::candidateBinaryPaths() { return OpenClawInstallation::candidateBinaryPaths(); }

QCoro::Task<std::optional<QString>> OpenClawManager::lookUpBinaryWithLoginShell() {
  const ChildProcess::Result result = co_await LoginShell::run(QStringLiteral("command -v openclaw"), kShellLookupTimeout);
  std::optional<QString> found;
  if (result.succeeded()) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = QString(utf8(result.standardOutput)).trimmed();
    if (!utf8.hasError() && !text.isEmpty()) found = text;
  }
  shellBinary_ = found;
  co_return found;
}

QCoro::Task<std::optional<QString>> OpenClawManager::locateOpenClawBinary() {
  if (std::optional<QString> candidate = OpenClawInstallation::executableCandidate()) co_return candidate;
  co_return co_await lookUpBinaryWithLoginShell();
}

std::optional<GatewayCredential> OpenClawManager::readGatewayCredential() {
  const std::optional<OpenClawConfig> config = OpenClawConfig::read(OpenClawInstallation::configFilePath());
  if (!config) return std::nullopt;
  return config->credential();
}

QMap<QString, QString> OpenClawManager::diagnostics() const {
  std::optional<QString> binary = OpenClawInstallation::executableCandidate();
  if (!binary) binary = shellBinary_;
  const bool binaryFound = binary && !binary->isEmpty();
  const std::optional<GatewayCredential> credential = readGatewayCredential();
  return {
      {QStringLiteral("configExists"), boolWord(openClawHomeExists())},
      {QStringLiteral("binaryFound"), boolWord(binaryFound)},
      {QStringLiteral("binaryPath"), binaryFound ? *binary : QStringLiteral("not_found")},
      {QStringLiteral("credentialMode"), credential ? credential->mode : QStringLiteral("missing")},
      {QStringLiteral("credentialExists"), boolWord(credential.has_value())},
      {QStringLiteral("gatewayURL"), gatewayURL_.toString(QUrl::FullyEncoded)},
      {QStringLiteral("status"), statusWord(status_)},
  };
}

// --- The service's instructions ---

QString OpenClawManager::composeWithSelection(const QString& message, const std::optional<QString>& selectedText) {
  if (!selectedText || selectedText->trimmed().isEmpty()) return message;
  return QStringLiteral("[当前选中的文本]\n---\n") + *selectedText + QStringLiteral("\n---\n\n") + message;
}

void OpenClawManager::relayToGateway(const QString& text, ReplyHandler onReply, FailureHandler onFailure) {
  relay(text, std::move(onReply), std::move(onFailure));
}

QCoro::Task<void> OpenClawManager::relay(QString text, ReplyHandler onReply, FailureHandler onFailure) {
  showInPanel(kConnecting, true);
  const std::optional<GatewayCredential> credential = readGatewayCredential();
  if (!credential) {
    qCInfo(lcOpenClaw) << "relay: no gateway credential in the OpenClaw configuration";
    showInPanel(kNoCredential, false);
    if (onFailure) onFailure(kNoCredential);
    co_return;
  }
  std::optional<QString> failure;
  try {
    const OpenClawGatewayClient::EventHandler onEvent = [this, onReply](const GatewayAgentEvent& event) {
      handleStreamEvent(event, onReply);
    };
    QCoro::Task<void> streaming = OpenClawGatewayClient::shared().streamChat(text, credential->secret, this, onEvent);
    co_await std::move(streaming);
  } catch (const GatewayError& error) {
    failure = error.localizedDescription();
  } catch (const std::exception& error) {
    failure = QString::fromUtf8(error.what());
  }
  if (failure) {
    qCInfo(lcOpenClaw) << "relay failed:" << *failure;
    showInPanel(kFailurePrefix + *failure + kFailureHint, false);
    if (onFailure) onFailure(kFailurePrefix + *failure);
  }
}

void OpenClawManager::handleStreamEvent(const GatewayAgentEvent& event, const ReplyHandler& onReply) {
  switch (event.kind) {
    case GatewayAgentEvent::Kind::text:
      // Pinned while it grows, so the panel neither counts down nor closes.
      showInPanel(event.text, true);
      return;
    case GatewayAgentEvent::Kind::done:
      showInPanel(event.text.isEmpty() ? kEmptyAnswer : event.text, false);
      if (onReply) onReply(event.text);
      return;
  }
}

void OpenClawManager::handleVoiceCommand(const QString& text, ReplyHandler onReply, FailureHandler onFailure) {
  const QString command = text.trimmed();
  if (command.isEmpty()) return;
  if (command.startsWith(QLatin1Char('/')) || command.toLower() == QStringLiteral("stop")) {
    relayToGateway(command, std::move(onReply), std::move(onFailure));
  } else if (isInteractiveCommand(command)) {
    runInNewTerminalWindow(command);
  } else {
    sendToOpenClawWindow(command);
  }
}

// --- Terminal windows ---

bool OpenClawManager::isInteractiveCommand(const QString& command) { return OpenClawCommands::isInteractive(command); }

void OpenClawManager::runInNewTerminalWindow(const QString& command) {
  terminal_.enqueue([this, command] { return openNewWindowNoting(command, nullptr); });
}

void OpenClawManager::sendToOpenClawWindow(const QString& command) {
  terminal_.enqueue([this, command] { return typeInOpenClawWindow(command); });
}

QCoro::Task<std::optional<QString>> OpenClawManager::openNewWindow(QString command) {
  const std::optional<QString> window = co_await TerminalDriver::current().openWindow(command);
  if (!window) qCInfo(lcOpenClaw) << "no terminal window for the command";
  setTerminalUnavailable(!window);
  // Opened behind the window the user speaks or clicks in, it would go unseen.
  if (window) co_await bringToFrontOnceShown(*window);
  co_return window;
}

QCoro::Task<void> OpenClawManager::bringToFrontOnceShown(QString window) {
  for (int attempt = 0; attempt < kFrontTries; ++attempt) {
    const bool shown = co_await TerminalDriver::current().activateWindow(window);
    if (shown) co_return;
    co_await QCoro::sleepFor(kFrontPoll);
  }
  qCInfo(lcOpenClaw) << "a new terminal window could not be brought to the front";
}

QCoro::Task<void> OpenClawManager::openNewWindowNoting(QString command, bool* opened) {
  const std::optional<QString> window = co_await openNewWindow(command);
  if (opened) *opened = window.has_value();
}

QCoro::Task<bool> OpenClawManager::runInNewTerminalWindowAndWait(QString command) {
  // The job ends before this does, so it may write into this frame.
  bool opened = false;
  const quint64 job = terminal_.enqueue([this, command, &opened] { return openNewWindowNoting(command, &opened); });
  co_await terminal_.waitFor(job);
  co_return opened;
}

QCoro::Task<void> OpenClawManager::typeInOpenClawWindow(QString command) {
  TerminalDriver& terminal = TerminalDriver::current();
  if (openClawWindowId_) {
    // Only the window that carries this id: one that merely took the place of
    // the closed one on the screen or in tmux's numbering is someone else's.
    const QString window = *openClawWindowId_;
    const bool ran = co_await terminal.runInWindow(window, command);
    if (ran) {
      // Behind other windows or minimised, the user would not see it run.
      const bool shown = co_await terminal.activateWindow(window);
      if (!shown) qCInfo(lcOpenClaw) << "the terminal window of spoken commands could not be brought to the front";
      co_return;
    }
    // Closed by the user, or its shell ended: the next window takes its place.
    openClawWindowId_.reset();
  }
  const std::optional<QString> window = co_await openNewWindow(command);
  if (window && !window->isEmpty()) openClawWindowId_ = *window;
}

// --- Lifecycle ---

void OpenClawManager::installOpenClaw() { install(); }

QCoro::Task<void> OpenClawManager::install() {
  const bool opened = co_await runInNewTerminalWindowAndWait(OpenClawCommands::install());
  if (opened) co_await watchInstall();
}

QCoro::Task<void> OpenClawManager::watchInstall() {
  for (int pass = 0; pass < kInstallPasses; ++pass) {
    co_await pause(kInstallPassWait);
    const OpenClawStatus before = status_;
    co_await refreshStatus();
    if (before == OpenClawStatus::notInstalled && status_ != OpenClawStatus::notInstalled) {
      co_await ensureGatewayConfig();
      co_return;
    }
  }
}

void OpenClawManager::uninstallOpenClaw() { uninstall(); }

QCoro::Task<void> OpenClawManager::uninstall() {
  const bool opened = co_await runInNewTerminalWindowAndWait(OpenClawCommands::uninstall());
  if (opened) co_await watchUninstall();
}

QCoro::Task<void> OpenClawManager::watchUninstall() {
  for (int pass = 0; pass < kUninstallPasses; ++pass) {
    co_await pause(kUninstallPassWait);
    co_await refreshStatus();
    if (status_ == OpenClawStatus::notInstalled) co_return;
  }
}

void OpenClawManager::stopGateway() { stop(); }

QCoro::Task<void> OpenClawManager::stop() {
  const bool opened = co_await runInNewTerminalWindowAndWait(OpenClawCommands::gatewayStop());
  if (!opened) co_return;
  co_await pause(kStopWait);
  co_await refreshStatus();
}

QCoro::Task<void> OpenClawManager::startGateway() {
  const StartFlagReset resetAtEnd(this);
  // What the tool's own log says from here on is about this start.
  const OpenClawDailyLog logSinceStart = OpenClawDailyLog::mark();
  const bool running = co_await isGatewayReachable();
  if (running) {
    co_await refreshStatus();
    co_return;
  }
  // The credential first: on a home without a configuration it makes the
  // file that the configuration step then completes.
  co_await ensureGatewayCredential();
  co_await ensureGatewayConfig();
  // Without a window nothing was started: there is nothing to wait for.
  const bool started = co_await runGatewayStartCommand();
  if (!started) {
    co_await refreshStatus();
    co_return;
  }
  const bool up = co_await waitForGateway(kStartChecks);
  if (up) {
    co_await finishStart();
    co_return;
  }
  bool opened = false;
  // The refusal shows in the gateway's error log where it writes one, and in
  // the tool's daily log on Linux.
  if (gatewayLogShowsModeUnset() || logSinceStart.showsModeUnsetSinceMark()) {
    // It refused to start for want of a mode: correct that and try again.
    co_await ensureGatewayCredential();
    co_await ensureGatewayConfig();
    co_await pause(kRestartWait);
    opened = co_await runGatewayStartCommand();
  } else {
    co_await ensureGatewayCredential();
    opened = co_await runInNewTerminalWindowAndWait(OpenClawCommands::gatewayRun());
  }
  if (opened) co_await waitForGateway(kStartChecks);
  co_await finishStart();
}

QCoro::Task<void> OpenClawManager::finishStart() {
  // The start command may have written the configuration only now (an
  // install writes the mode and a token, never the chat endpoint); the
  // endpoint takes effect in a running gateway.
  co_await ensureGatewayConfig();
  co_await refreshStatus();
}

QCoro::Task<bool> OpenClawManager::runGatewayStartCommand() {
  const bool loaded = co_await isGatewayServiceLoaded();
  co_return co_await runInNewTerminalWindowAndWait(loaded ? OpenClawCommands::gatewayStart()
                                                          : OpenClawCommands::gatewayInstall());
}

QCoro::Task<bool> OpenClawManager::waitForGateway(int checks) {
  for (int check = 0; check < checks; ++check) {
    co_await pause(kStartCheckWait);
    const bool reachable = co_await isGatewayReachable();
    if (reachable) co_return true;
  }
  co_return false;
}

QCoro::Task<void> OpenClawManager::ensureGatewayConfig() {
  const std::optional<OpenClawConfig> config = OpenClawConfig::read(OpenClawInstallation::configFilePath());
  if (!config) co_return;
  const bool needsMode = !config->hasGatewayMode();
  const bool needsChat = !config->chatCompletionsEnabled();
  // One after the other: each command rewrites the whole file, and two at
  // once could each undo the other's change.
  if (needsMode) co_await runConfigCommand(OpenClawCommands::setLocalMode());
  if (needsChat) co_await runConfigCommand(OpenClawCommands::enableChatCompletions());
}

QCoro::Task<void> OpenClawManager::ensureGatewayCredential() {
  const QString path = OpenClawInstallation::configFilePath();
  // No file yet is a configuration without a credential: the tool's commands
  // make the file. One that cannot be read or parsed is left as it is.
  if (QFile::exists(path)) {
    const std::optional<OpenClawConfig> config = OpenClawConfig::read(path);
    if (!config || config->hasGatewaySecret()) co_return;
  }
  // Both written before any start: a gateway started without a saved token
  // makes one for its own run that nobody can read, and refuses ours until
  // it restarts.
  co_await runConfigCommand(OpenClawCommands::setTokenAuthMode());
  const QString token = newGatewayToken();
  co_await runConfigCommand(OpenClawCommands::setAuthToken(token), token);
}

QCoro::Task<void> OpenClawManager::runConfigCommand(QString command, QString secret) {
  const ChildProcess::Result result = co_await LoginShell::run(command, kConfigCommandTimeout);
  if (!result.succeeded()) {
    // The secret never reaches the log, neither from our command line nor
    // from the tool's error, which may quote the value it refused.
    QString line = command + QLatin1Char(' ') + QString::fromUtf8(result.standardError).trimmed();
    if (!secret.isEmpty()) line.replace(secret, QStringLiteral("<secret>"));
    qCWarning(lcOpenClaw).noquote() << "configuration command failed:" << line;
  }
}

QCoro::Task<bool> OpenClawManager::isGatewayServiceLoaded() {
  const ChildProcess::Result result = co_await LoginShell::run(OpenClawCommands::serviceCheck(), kServiceCheckTimeout);
  co_return result.started && !result.standardOutput.trimmed().isEmpty();
}

bool OpenClawManager::gatewayLogShowsModeUnset() { return OpenClawInstallation::gatewayLogShowsModeUnset(); }
