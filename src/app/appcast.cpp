#include "app/appcast.h"

#include <QStringList>
#include <QXmlStreamReader>

namespace Appcast {
namespace {

const QString kSparkleNamespace = QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

// The version tags may come with the sparkle prefix bound to the namespace
// (the usual case) or, in hand-written feeds, unbound: accept both.
bool isSparkle(const QXmlStreamReader& reader, const char* name) {
  if (reader.name() != QLatin1String(name)) return false;
  return reader.namespaceUri() == kSparkleNamespace || reader.prefix() == QLatin1String("sparkle");
}

QString sparkleAttribute(const QXmlStreamAttributes& attributes, const char* name) {
  for (const QXmlStreamAttribute& attribute : attributes) {
    if (attribute.name() != QLatin1String(name)) continue;
    if (attribute.namespaceUri() == kSparkleNamespace || attribute.prefix() == QLatin1String("sparkle")) {
      return attribute.value().toString().trimmed();
    }
  }
  return {};
}

struct ItemReader {
  AppcastItem item;
  QString buildVersion;
  QString shortVersion;

  std::optional<AppcastItem> finish() {
    item.version = !shortVersion.isEmpty() ? shortVersion : buildVersion;
    if (item.version.isEmpty() || !item.fileURL.isValid() || item.fileURL.isRelative()) return std::nullopt;
    return item;
  }
};

}  // namespace

std::optional<QList<AppcastItem>> parse(const QByteArray& xml) {
  QXmlStreamReader reader(xml);
  if (!reader.readNextStartElement() || reader.name() != QLatin1String("rss")) return std::nullopt;

  QList<AppcastItem> items;
  std::optional<ItemReader> current;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement()) {
      if (reader.name() == QLatin1String("item") && reader.namespaceUri().isEmpty()) {
        current.emplace();
      } else if (!current) {
        continue;
      } else if (reader.name() == QLatin1String("enclosure")) {
        const QXmlStreamAttributes attributes = reader.attributes();
        current->item.fileURL = QUrl(attributes.value(QLatin1String("url")).toString().trimmed(), QUrl::StrictMode);
        current->item.contentLength = attributes.value(QLatin1String("length")).toLongLong();
        current->item.edSignature = sparkleAttribute(attributes, "edSignature");
        const QString build = sparkleAttribute(attributes, "version");
        const QString shortVersion = sparkleAttribute(attributes, "shortVersionString");
        if (!build.isEmpty()) current->buildVersion = build;
        if (!shortVersion.isEmpty()) current->shortVersion = shortVersion;
      } else if (isSparkle(reader, "version")) {
        current->buildVersion = reader.readElementText().trimmed();
      } else if (isSparkle(reader, "shortVersionString")) {
        current->shortVersion = reader.readElementText().trimmed();
      } else if (isSparkle(reader, "releaseNotesLink")) {
        current->item.releaseNotesURL = QUrl(reader.readElementText().trimmed());
      } else if (reader.name() == QLatin1String("title") && reader.namespaceUri().isEmpty()) {
        current->item.title = reader.readElementText().trimmed();
      } else if (reader.name() == QLatin1String("link") && reader.namespaceUri().isEmpty() &&
                 current->item.releaseNotesURL.isEmpty()) {
        current->item.releaseNotesURL = QUrl(reader.readElementText().trimmed());
      }
    } else if (reader.isEndElement() && reader.name() == QLatin1String("item") && current) {
      if (std::optional<AppcastItem> item = current->finish()) items.append(*item);
      current.reset();
    }
  }
  if (reader.hasError()) return std::nullopt;
  return items;
}

int compareVersions(const QString& left, const QString& right) {
  const QStringList a = left.split(QLatin1Char('.'));
  const QStringList b = right.split(QLatin1Char('.'));
  for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
    const QString x = i < a.size() ? a[i] : QStringLiteral("0");
    const QString y = i < b.size() ? b[i] : QStringLiteral("0");
    bool xNumber = false;
    bool yNumber = false;
    const qulonglong xValue = x.toULongLong(&xNumber);
    const qulonglong yValue = y.toULongLong(&yNumber);
    if (xNumber && yNumber) {
      if (xValue != yValue) return xValue < yValue ? -1 : 1;
    } else if (xNumber != yNumber) {
      return xNumber ? -1 : 1;
    } else if (const int order = x.compare(y); order != 0) {
      return order < 0 ? -1 : 1;
    }
  }
  return 0;
}

std::optional<AppcastItem> newestNewerThan(const QList<AppcastItem>& items, const QString& currentVersion) {
  std::optional<AppcastItem> newest;
  for (const AppcastItem& item : items) {
    if (compareVersions(item.version, currentVersion) <= 0) continue;
    if (!newest || compareVersions(item.version, newest->version) > 0) newest = item;
  }
  return newest;
}

}  // namespace Appcast
