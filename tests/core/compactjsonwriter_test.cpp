#include "core/compactjsonwriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(CompactJsonWriter, TextsAndNumbersReadBackExactly) {
  const QStringList texts{QString(), QStringLiteral("quote \" backslash \\ solidus /"),
                          QStringLiteral("line\nfeed\rtab\tbell\x07 unit\x1f nul") + QChar(0) + QStringLiteral("end"),
                          QStringLiteral("Grüße 你好 Привет 🦞")};
  const double numbers[] = {0.0, -0.0, 0.1, -1.0, 731000000.123, std::numeric_limits<double>::denorm_min(),
                            std::numeric_limits<double>::max()};
  CompactJsonWriter writer;
  writer.beginArray();
  for (const QString& text : texts) {
    writer.beginObject();
    writer.key(QLatin1StringView("t"));
    writer.string(text);
    writer.key(QLatin1StringView("b"));
    writer.boolean(text.isEmpty());
    writer.endObject();
  }
  writer.beginArray();
  for (double number : numbers) writer.number(number);
  writer.number(std::numeric_limits<double>::quiet_NaN());
  writer.endArray();
  writer.endArray();
  const QByteArray json = writer.take();
  EXPECT_TRUE(json.startsWith(R"([{"t":"","b":true},{)")) << json.constData();

  const QJsonArray array = QJsonDocument::fromJson(json).array();
  ASSERT_EQ(array.size(), texts.size() + 1) << json.constData();
  for (int n = 0; n < texts.size(); ++n) {
    EXPECT_EQ(array.at(n)[QStringLiteral("t")].toString(), texts.at(n)) << n;
    EXPECT_EQ(array.at(n)[QStringLiteral("b")].toBool(), texts.at(n).isEmpty());
  }
  const QJsonArray read = array.last().toArray();
  ASSERT_EQ(read.size(), qsizetype(std::size(numbers)) + 1);
  for (size_t n = 0; n < std::size(numbers); ++n) EXPECT_EQ(read.at(n).toDouble(), numbers[n]) << numbers[n];
  EXPECT_TRUE(read.last().isNull());  // NaN has no JSON form
}

}  // namespace
