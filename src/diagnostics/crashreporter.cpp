#include "diagnostics/crashreporter.h"

#include "core/clock.h"
#include "core/logging.h"
#include "core/paths.h"
#include "diagnostics/crashmarker.h"
#include "diagnostics/crashreportstore.h"
#include "diagnostics/crashsignalhandler.h"
#include "diagnostics/isotimestamp.h"
#include "diagnostics/logreportrequest.h"
#include "diagnostics/systemreports.h"
#include "diagnostics/uncaughtexceptionhandler.h"
#include "diagnostics/versionstrings.h"
#include "service/apiclient.h"
#include "service/authstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUuid>

#include <QCoroSignal>

namespace {

QString folderIn(const QString& base, const QString& name) {
  if (base.isEmpty()) return {};
  const QString folder = base + QLatin1Char('/') + name;
  Paths::ensureDirectory(folder);
  return folder;
}

// Nothing when the file cannot be read or is not UTF-8.
std::optional<QString> readUtf8(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (decoder.hasError()) return std::nullopt;
  return text;
}

}  // namespace

CrashReporter& CrashReporter::shared() {
  static CrashReporter* instance = new CrashReporter();
  return *instance;
}

QString CrashReporter::markersDirectory() {
  return folderIn(Paths::temporaryDirectory(), QStringLiteral("voice_input_crash_markers"));
}

QString CrashReporter::reportsDirectory() {
  return folderIn(Paths::applicationSupportDirectory(), QStringLiteral("CrashReports"));
}

CrashReportStore CrashReporter::store() { return CrashReportStore(reportsDirectory()); }

void CrashReporter::install() {
  CrashSignalHandler::install(QFile::encodeName(markersDirectory()));
  UncaughtExceptionHandler::install();
  qCInfo(lcCrashReporter, "CrashReporter installed");
}

CrashReport CrashReporter::newReport(const QString& signal, const QString& reason, const QString& timestamp) {
  CrashReport report;
  report.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
  report.timestamp = timestamp;
  report.appVersion = appVersionString();
  report.osVersion = osVersionString();
  report.signal = signal;
  report.reason = reason;
  return report;
}

void CrashReporter::processCrashMarkers() {
  const QString folder = markersDirectory();
  if (folder.isEmpty()) return;
  const QFileInfoList entries =
      QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
  for (const QFileInfo& entry : entries) {
    if (entry.suffix() != QLatin1String("crashmarker")) continue;
    const QString path = entry.absoluteFilePath();
    const std::optional<QString> text = readUtf8(path);
    if (!text) {
      QFile::remove(path);
      continue;
    }
    const CrashMarker marker = CrashMarker::parse(*text);
    const QDateTime crashTime = marker.time.isValid() ? marker.time : Clock::now();
    CrashReport report = newReport(
        marker.signal,
        QStringLiteral("Fatal signal %1 \u2014 see system crash report for full stack").arg(marker.signal),
        isoTimestamp(crashTime));
    report.systemReportPath = SystemReports::find(SystemReports::directory(), crashTime);
    // A marker whose report could not be written stays for the next launch.
    if (store().save(report)) QFile::remove(path);
  }
}

void CrashReporter::handleException(const QString& name, const QString& reason, const QStringList& callStack) {
  CrashReport report = newReport(QStringLiteral("NSException"), name + QStringLiteral(": ") + reason,
                                 isoTimestamp(Clock::now()));
  report.callStack = callStack.first(std::min<qsizetype>(callStack.size(), kMaxCallStackFrames));
  if (store().save(report)) CrashSignalHandler::crashAlreadyReported();
}

void CrashReporter::save(const CrashReport& report) {
  store().save(report);
  Q_EMIT pendingReportsChanged();
}

QList<CrashReport> CrashReporter::loadAll() const { return store().loadAll(); }

void CrashReporter::prune() {
  store().prune();
  Q_EMIT pendingReportsChanged();
}

QList<CrashReport> CrashReporter::pendingReports() const { return store().pendingReports(); }

void CrashReporter::markReported(const QString& id) {
  store().markReported(id);
  Q_EMIT pendingReportsChanged();
}

QCoro::Task<int> CrashReporter::uploadPendingReports() {
  if (uploading_) co_return co_await qCoro(this, &CrashReporter::uploadFinished);
  QList<CrashReport> pending = pendingReports();
  if (pending.isEmpty()) co_return 0;
  const std::optional<QString> token = AuthStore::shared().token();
  if (!token) co_return 0;

  uploading_ = true;
  const int accepted = co_await uploadAll(std::move(pending), *token);
  uploading_ = false;
  Q_EMIT uploadFinished(accepted);
  co_return accepted;
}

QCoro::Task<int> CrashReporter::uploadAll(QList<CrashReport> pending, QString token) {
  int accepted = 0;
  for (const CrashReport& report : pending) {
    std::optional<APIRequest> request = logReportRequest(token, report.uploadBody().toJson());
    if (!request) continue;
    APIClient::Answer answer;
    try {
      answer = co_await APIClient::shared().exchange(std::move(*request));
    } catch (const TransportError& error) {
      qCCritical(lcCrashReporter, "Upload failed for %s: %s", qUtf8Printable(report.id),
                 qUtf8Printable(error.localizedDescription()));
      continue;
    } catch (...) {
      continue;  // an answer that is not HTTP: quietly pending, like any refusal
    }
    if (answer.status < 200 || answer.status > 299) continue;
    markReported(report.id);
    ++accepted;
    qCInfo(lcCrashReporter, "Crash report uploaded: %s", qUtf8Printable(report.id));
  }
  co_return accepted;
}
