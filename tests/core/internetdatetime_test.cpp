#include "core/internetdatetime.h"
#include "core/referencedate.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(InternetDateTime, ReadsTheInternetFormWithFractionsAndOffsetsAndRefusesEverythingElse) {
  const char* const accepted[][2] = {  // text, instant in UTC
      {"2025-03-05T08:30:00.123456789Z", "2025-03-05T08:30:00.123Z"},
      {"2025-03-05T20:00:00.25-05:30", "2025-03-06T01:30:00.250Z"},
      {"2025-03-05t08:30:00+08:00", "2025-03-05T00:30:00.000Z"},
      {"2016-12-31T23:59:60z", "2016-12-31T23:59:59.000Z"},
  };
  for (const auto& c : accepted) {
    const std::optional<QDateTime> date = InternetDateTime::parse(QString::fromUtf8(c[0]));
    EXPECT_EQ(date ? date->toUTC().toString(Qt::ISODateWithMs) : QString(), QString::fromUtf8(c[1])) << c[0];
  }
  for (const char* text : {"", "2025-03-05", "2025-03-05T08:30Z", "2025-03-05T08:30:00", "2025-03-05 08:30:00Z",
                           "2025-03-05T08:30:00.Z", "2025-03-05T08:30:00+0800", "2025-02-29T08:30:00Z",
                           "2025-03-05T24:00:00Z", "2025-03-05T08:30:61Z", "2025-03-05T08:30:00+24:00",
                           "2025-03-05T08:30:00Z\n", "２０２５-03-05T08:30:00Z"}) {
    EXPECT_FALSE(InternetDateTime::parse(QString::fromUtf8(text))) << text;
  }
}

// Stored dates count seconds from 2001; a damaged number never becomes a wrong date.
TEST(ReferenceDate, SecondsSince2001ReadBackToTheMillisecondAndDamagedNumbersReadAsNothing) {
  const QDateTime date = QDateTime::fromString(QStringLiteral("2025-03-05T08:30:00.125Z"), Qt::ISODateWithMs);
  EXPECT_EQ(ReferenceDate::secondsSinceReferenceDate(date), 762856200.125);
  EXPECT_EQ(ReferenceDate::dateFromSecondsSinceReferenceDate(762856200.125), date);
  EXPECT_EQ(ReferenceDate::dateFromSecondsSinceReferenceDate(-1.0)->toString(Qt::ISODate), "2000-12-31T23:59:59Z");
  for (const double damaged : {std::nan(""), double(INFINITY), 3.1e12, -3.1e12}) {
    EXPECT_EQ(ReferenceDate::dateFromSecondsSinceReferenceDate(damaged), std::nullopt) << damaged;
  }
}

}  // namespace
