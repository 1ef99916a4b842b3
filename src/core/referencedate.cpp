#include "core/referencedate.h"

#include <cmath>

namespace ReferenceDate {
namespace {

// Milliseconds from the Unix epoch to the reference date.
constexpr qint64 kReferenceMSecsSinceEpoch = 978307200000LL;

// About ±100,000 years: far beyond any real record, well inside what both a
// double (exact milliseconds) and QDateTime can hold.
constexpr double kLimitSeconds = 3.0e12;

}  // namespace

QDateTime referenceDate() { return QDateTime::fromMSecsSinceEpoch(kReferenceMSecsSinceEpoch, Qt::UTC); }

double secondsSinceReferenceDate(const QDateTime& date) {
  return static_cast<double>(date.toMSecsSinceEpoch() - kReferenceMSecsSinceEpoch) / 1000.0;
}

std::optional<QDateTime> dateFromSecondsSinceReferenceDate(double seconds) {
  if (!std::isfinite(seconds) || std::fabs(seconds) > kLimitSeconds) return std::nullopt;
  const auto msecs = static_cast<qint64>(std::llround(seconds * 1000.0));
  return QDateTime::fromMSecsSinceEpoch(msecs + kReferenceMSecsSinceEpoch, Qt::UTC);
}

}  // namespace ReferenceDate
