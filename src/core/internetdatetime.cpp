#include "core/internetdatetime.h"

#include <QRegularExpression>

namespace InternetDateTime {

std::optional<QDateTime> parse(QStringView text) {
  static const QRegularExpression pattern(QStringLiteral(
      R"(^(\d{4})-(\d{2})-(\d{2})[Tt](\d{2}):(\d{2}):(\d{2})(?:\.(\d+))?(?:([Zz])|([+-])(\d{2}):(\d{2}))\z)"));
  const QRegularExpressionMatch match = pattern.match(text);
  if (!match.hasMatch()) return std::nullopt;
  const auto number = [&match](int group) { return match.capturedView(group).toInt(); };

  const QDate date(number(1), number(2), number(3));
  const int second = number(6);
  const int milliseconds = match.capturedView(7).left(3).toString().leftJustified(3, u'0').toInt();
  const QTime time(number(4), number(5), second == 60 ? 59 : second, milliseconds);
  if (!date.isValid() || !time.isValid() || second > 60) return std::nullopt;

  int offsetSeconds = 0;
  if (match.capturedLength(8) == 0) {
    const int hours = number(10);
    const int minutes = number(11);
    if (hours > 23 || minutes > 59) return std::nullopt;
    offsetSeconds = (hours * 60 + minutes) * 60 * (match.capturedView(9) == u"-" ? -1 : 1);
  }
  return QDateTime(date, time, Qt::UTC).addSecs(-offsetSeconds);
}

}  // namespace InternetDateTime
