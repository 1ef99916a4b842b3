#include "diagnostics/crashmarker.h"

#include <cmath>

namespace {

QDateTime timeFromSeconds(QStringView text) {
  bool ok = false;
  const double seconds = text.toDouble(&ok);
  // A damaged number must not become a date far outside the calendar.
  if (!ok || !std::isfinite(seconds) || std::abs(seconds) > 253402300799.0) return {};
  return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(seconds), Qt::UTC);
}

}  // namespace

CrashMarker CrashMarker::parse(const QString& text) {
  static const QLatin1StringView signalKey("SIGNAL=");
  static const QLatin1StringView timeKey("TIME=");
  CrashMarker marker;
  for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
    if (line.startsWith(signalKey)) {
      marker.signal = line.mid(signalKey.size()).toString();
    } else if (line.startsWith(timeKey)) {
      if (const QDateTime time = timeFromSeconds(line.mid(timeKey.size())); time.isValid()) marker.time = time;
    }
  }
  return marker;
}
