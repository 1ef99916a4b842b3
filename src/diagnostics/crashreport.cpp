#include "diagnostics/crashreport.h"

#include "core/compactjsonwriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Stacks are long; the service needs only the top.
constexpr qsizetype kUploadedFrames = 30;

}  // namespace

QByteArray CrashReport::toJson() const {
  CompactJsonWriter json;
  json.beginObject();
  json.key(QLatin1StringView("id"));
  json.string(id);
  json.key(QLatin1StringView("timestamp"));
  json.string(timestamp);
  json.key(QLatin1StringView("appVersion"));
  json.string(appVersion);
  json.key(QLatin1StringView("osVersion"));
  json.string(osVersion);
  json.key(QLatin1StringView("signal"));
  json.string(signal);
  json.key(QLatin1StringView("reason"));
  json.string(reason);
  json.key(QLatin1StringView("callStack"));
  json.beginArray();
  for (const QString& frame : callStack) json.string(frame);
  json.endArray();
  if (systemReportPath) {
    json.key(QLatin1StringView("systemReportPath"));
    json.string(*systemReportPath);
  }
  json.key(QLatin1StringView("reported"));
  json.boolean(reported);
  json.endObject();
  return json.take();
}

std::optional<CrashReport> CrashReport::fromJson(const QByteArray& json) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(json, &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
  const QJsonObject object = document.object();

  CrashReport report;
  const std::pair<const char*, QString*> texts[] = {
      {"id", &report.id},         {"timestamp", &report.timestamp}, {"appVersion", &report.appVersion},
      {"osVersion", &report.osVersion}, {"signal", &report.signal}, {"reason", &report.reason},
  };
  for (const auto& [key, field] : texts) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString()) return std::nullopt;
    *field = value.toString();
  }
  const QJsonValue stack = object.value(QLatin1String("callStack"));
  if (!stack.isArray()) return std::nullopt;
  for (const QJsonValue& frame : stack.toArray()) {
    if (!frame.isString()) return std::nullopt;
    report.callStack << frame.toString();
  }
  const QJsonValue systemReport = object.value(QLatin1String("systemReportPath"));
  if (systemReport.isString()) {
    report.systemReportPath = systemReport.toString();
  } else if (!systemReport.isUndefined() && !systemReport.isNull()) {
    return std::nullopt;
  }
  const QJsonValue reported = object.value(QLatin1String("reported"));
  if (!reported.isBool()) return std::nullopt;
  report.reported = reported.toBool();
  return report;
}

LogReportBody CrashReport::uploadBody() const {
  const QString stack = callStack.isEmpty()
                            ? QStringLiteral("(see system report: %1)")
                                  .arg(systemReportPath.value_or(QStringLiteral("not found")))
                            : callStack.first(std::min(callStack.size(), kUploadedFrames)).join(QLatin1Char('\n'));
  const QMap<QString, QString> extra{
      {QStringLiteral("signal"), signal},
      {QStringLiteral("callStack"), stack},
      {QStringLiteral("systemReport"), systemReportPath.value_or(QString())},
      {QStringLiteral("appVersion"), appVersion},
      {QStringLiteral("osVersion"), osVersion},
  };
  const LogReportEntry entry{QStringLiteral("fatal"), QStringLiteral("Crash"),
                             QLatin1Char('[') + signal + QStringLiteral("] ") + reason, extra, timestamp};
  return LogReportBody{appVersion, osVersion, {entry}};
}
