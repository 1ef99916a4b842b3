#pragma once

#include <QDateTime>
#include <QString>

// What a marker file left by the signal handler says: "SIGNAL=<name>" and
// "TIME=<seconds since 1970>" lines. Lines of other kinds are ignored, and a
// later line of a kind overrides an earlier one.
struct CrashMarker {
  QString signal = QStringLiteral("UNKNOWN");
  // Invalid when the marker holds no usable TIME line.
  QDateTime time;

  static CrashMarker parse(const QString& text);
};
