#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// One release in the update feed: an RSS item whose enclosure names the file
// and whose version tags (sparkle:version, sparkle:shortVersionString, as an
// element of the item or an attribute of the enclosure) say which release it is.
struct AppcastItem {
  QString title;
  QString version;             // the short version when there is one, else the build version
  QUrl fileURL;                // the enclosure
  qint64 contentLength = 0;    // the enclosure's "length", 0 when absent
  QString edSignature;         // the enclosure's sparkle:edSignature: base64 Ed25519 signature of the file
  QUrl releaseNotesURL;        // sparkle:releaseNotesLink or the item's link

  bool operator==(const AppcastItem&) const = default;
};

namespace Appcast {

// The items of a feed that carry a version and an enclosure, in feed order.
// Nothing when the text is not an RSS document.
std::optional<QList<AppcastItem>> parse(const QByteArray& xml);

// Compares dotted versions part by part as numbers ("1.10" > "1.9"; "1.2" ==
// "1.2.0"); a part that is not a number compares as text after the numbers.
int compareVersions(const QString& left, const QString& right);

// The newest item strictly newer than `currentVersion`, if any.
std::optional<AppcastItem> newestNewerThan(const QList<AppcastItem>& items, const QString& currentVersion);

}  // namespace Appcast
