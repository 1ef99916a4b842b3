#include "diagnostics/logreporter.h"

#include "core/clock.h"
#include "diagnostics/isotimestamp.h"
#include "diagnostics/logreportrequest.h"
#include "diagnostics/versionstrings.h"
#include "openclaw/openclawmanager.h"
#include "service/apiclient.h"
#include "service/authstore.h"

namespace {

QString permissionWord(PermissionStatus status) {
  switch (status) {
    case PermissionStatus::granted: return QStringLiteral("granted");
    case PermissionStatus::denied: return QStringLiteral("denied");
    case PermissionStatus::notDetermined: break;
  }
  return QStringLiteral("notDetermined");
}

QString openClawWord(OpenClawStatus status) {
  switch (status) {
    case OpenClawStatus::notInstalled: return QStringLiteral("notInstalled");
    case OpenClawStatus::installedServiceDown: return QStringLiteral("serviceDown");
    case OpenClawStatus::ready: return QStringLiteral("ready");
    case OpenClawStatus::unknown: break;
  }
  return QStringLiteral("unknown");
}

QString boolWord(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

}  // namespace

LogReporter& LogReporter::shared() {
  static LogReporter* instance = new LogReporter();
  return *instance;
}

void LogReporter::setLaunchStatesSource(LaunchStatesSource source) { launchStates_ = std::move(source); }

QMap<QString, QString> LogReporter::snapshotExtra() const {
  const LaunchStates states = launchStates_ ? launchStates_() : LaunchStates{};
  const OpenClawManager& openClaw = OpenClawManager::shared();
  QMap<QString, QString> extra{
      {QStringLiteral("mic"), permissionWord(states.microphone)},
      {QStringLiteral("accessibility"), permissionWord(states.accessibility)},
      {QStringLiteral("hotkeyListening"), boolWord(states.hotKeyListening)},
      {QStringLiteral("openClaw"), openClawWord(openClaw.status())},
      {QStringLiteral("appVersion"), appVersionString()},
      {QStringLiteral("osVersion"), osVersionString()},
  };
  // The prefix keeps the agent's own facts from ever replacing a base key.
  const QMap<QString, QString> diagnostics = openClaw.diagnostics();
  for (auto pair = diagnostics.cbegin(); pair != diagnostics.cend(); ++pair) {
    extra.insert(QStringLiteral("openClaw_") + pair.key(), pair.value());
  }
  return extra;
}

void LogReporter::logSnapshot(const QString& name) {
  buffer_.append(Entry{QStringLiteral("info"), QStringLiteral("Snapshot"),
                       QLatin1Char('[') + name + QStringLiteral("] 状态快照"), snapshotExtra(),
                       isoTimestamp(Clock::now())});
  if (buffer_.size() > maxBuffer) buffer_.remove(0, buffer_.size() - maxBuffer);
}

QCoro::Task<void> LogReporter::flush() {
  if (buffer_.isEmpty()) co_return;
  const std::optional<QString> token = AuthStore::shared().token();
  if (!token) co_return;

  // Entries recorded while the request is under way go into a fresh buffer.
  QList<Entry> batch = std::exchange(buffer_, {});
  const QByteArray body = ReportBody{appVersionString(), osVersionString(), batch}.toJson();
  std::optional<APIRequest> request = logReportRequest(*token, body);
  bool delivered = false;
  if (request) {
    request->setHeader("X-Client-Platform", "macos_standard");
    try {
      const APIClient::Answer answer = co_await APIClient::shared().exchange(std::move(*request));
      delivered = answer.status >= 200 && answer.status <= 299;
    } catch (...) {
      // Any failure keeps the batch; the reason does not matter here.
    }
  }
  if (delivered) co_return;

  batch.append(buffer_);
  if (batch.size() > maxBuffer) batch.resize(maxBuffer);
  buffer_ = std::move(batch);
}
