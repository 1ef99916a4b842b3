#include "diagnostics/logreportbody.h"

#include "core/compactjsonwriter.h"

namespace {

void writeEntry(CompactJsonWriter& json, const LogReportEntry& entry) {
  json.beginObject();
  json.key(QLatin1StringView("level"));
  json.string(entry.level);
  json.key(QLatin1StringView("tag"));
  json.string(entry.tag);
  json.key(QLatin1StringView("message"));
  json.string(entry.message);
  if (entry.extra) {
    json.key(QLatin1StringView("extra"));
    json.beginObject();
    for (auto pair = entry.extra->cbegin(); pair != entry.extra->cend(); ++pair) {
      // The writer copies a key's bytes as they are, so UTF-8 passes intact.
      const QByteArray key = pair.key().toUtf8();
      json.key(QLatin1StringView(key.constData(), key.size()));
      json.string(pair.value());
    }
    json.endObject();
  }
  json.key(QLatin1StringView("timestamp"));
  json.string(entry.timestamp);
  json.endObject();
}

}  // namespace

QByteArray LogReportBody::toJson() const {
  CompactJsonWriter json;
  json.beginObject();
  json.key(QLatin1StringView("app_version"));
  json.string(appVersion);
  json.key(QLatin1StringView("os_version"));
  json.string(osVersion);
  json.key(QLatin1StringView("entries"));
  json.beginArray();
  for (const LogReportEntry& entry : entries) writeEntry(json, entry);
  json.endArray();
  json.endObject();
  return json.take();
}
