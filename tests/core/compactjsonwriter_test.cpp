#include "core/compactjsonwriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(CompactJsonWriter, TextsAndNumbersReadBackExactly) {
  const QStringList texts{
      QString(),
      QStringLiteral("plain"),
      QStringLiteral("quote \" backslash \\ solidus /"),
      QStringLiteral("line\nfeed\rtab\tbell\x07 unit\x1f nul") + QChar(0) + QStringLiteral("end"),
      QStringLiteral("Grüße 你好 Привет 안녕 🦞"),
  };
  const double numbers[] = {0.0, -0.0, 0.1, 1.5, -1.0, 730987200.25, 731000000.123, 1e300,
                            std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max()};

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
  EXPECT_TRUE(json.startsWith(R"([{"t":"","b":true},{"t":"plain","b":false},{)")) << json.constData();

  QJsonParseError error{};
  const QJsonArray array = QJsonDocument::fromJson(json, &error).array();
  ASSERT_EQ(error.error, QJsonParseError::NoError) << json.constData();
  ASSERT_EQ(array.size(), texts.size() + 1);
  for (int n = 0; n < texts.size(); ++n) {
    EXPECT_EQ(array.at(n).toObject().value(QStringLiteral("t")).toString(), texts.at(n)) << n;
    EXPECT_EQ(array.at(n).toObject().value(QStringLiteral("b")).toBool(), texts.at(n).isEmpty());
  }
  const QJsonArray read = array.last().toArray();
  ASSERT_EQ(read.size(), static_cast<qsizetype>(std::size(numbers)) + 1);
  for (size_t n = 0; n < std::size(numbers); ++n) EXPECT_EQ(read.at(n).toDouble(), numbers[n]) << numbers[n];
  EXPECT_TRUE(read.last().isNull());
}

}  // namespace
