#include "pipeline/recordinghistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QDateTime utc(const char* iso) { return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs); }

RecordingHistory everyFieldSet() {
  RecordingHistory record;
  record.id = QStringLiteral("6F1C2A9E-0B7D-4C35-9E4A-1D2B3C4D5E6F");
  record.createdAt = utc("2024-03-01T12:00:00.250Z");
  record.operation = QStringLiteral("rewrite");
  record.audioFilePath = QStringLiteral("/home/ann/Documents/VoiceInputHistory/k/AudioFiles/A.wav");
  record.selectedText = QStringLiteral("Grüße \"quoted\" / 你好\n");
  record.transcript = QStringLiteral("make it shorter");
  record.result = QString();  // present but empty is not absent
  record.actionType = QStringLiteral("paste");
  record.status = RecognitionStatus::success;
  record.errorMessage = QStringLiteral("earlier failure");
  record.retryable = true;
  record.processingDuration = 1.875;
  record.processStartedAt = utc("2001-01-01T00:00:01.500Z");
  return record;
}

QJsonObject onlyObjectOf(const QByteArray& json) {
  const QJsonArray array = QJsonDocument::fromJson(json).array();
  EXPECT_EQ(array.size(), 1);
  return array.first().toObject();
}

TEST(RecordingHistory, EveryFieldRoundTripsUnderItsOwnNameWithDatesSinceTwoThousandOne) {
  const RecordingHistory record = everyFieldSet();
  const QByteArray json = RecordingHistory::encodeList({record});
  EXPECT_FALSE(json.contains('\n'));
  EXPECT_FALSE(json.contains(": "));

  const QJsonObject object = onlyObjectOf(json);
  EXPECT_EQ(object.keys(), (QStringList{"actionType", "audioFilePath", "createdAt", "errorMessage", "id",
                                        "operation", "processStartedAt", "processingDuration", "result",
                                        "retryable", "selectedText", "status", "transcript"}));
  EXPECT_DOUBLE_EQ(object.value("createdAt").toDouble(), 730987200.25);
  EXPECT_DOUBLE_EQ(object.value("processStartedAt").toDouble(), 1.5);
  EXPECT_EQ(object.value("status").toString(), QStringLiteral("success"));
  EXPECT_EQ(object.value("retryable"), QJsonValue(true));
  EXPECT_EQ(object.value("result"), QJsonValue(QString()));

  const auto decoded = RecordingHistory::decodeList(json);
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->size(), 1);
  EXPECT_EQ(decoded->first(), record);
}

TEST(RecordingHistory, AbsentOptionalsAreLeftOutAndNullReadsAsAbsent) {
  RecordingHistory record;
  record.id = QStringLiteral("X");
  record.createdAt = utc("2000-12-31T23:59:59Z");
  record.operation = QStringLiteral("agent");
  record.status = RecognitionStatus::pending;
  const QJsonObject object = onlyObjectOf(RecordingHistory::encodeList({record}));
  EXPECT_EQ(object.keys(), (QStringList{"createdAt", "id", "operation", "retryable", "status"}));
  EXPECT_DOUBLE_EQ(object.value("createdAt").toDouble(), -1.0);

  const auto decoded = RecordingHistory::decodeList(
      R"([{"id":"X","createdAt":-1,"operation":"agent","status":"pending","retryable":false,
           "transcript":null,"processStartedAt":null,"somethingNewer":{"a":1}}])");
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->first(), record);
}

TEST(RecordingHistory, DatesFromOtherWritersKeepTheirMillisecond) {
  const auto decoded = RecordingHistory::decodeList(
      R"([{"id":"a","createdAt":0,"operation":"transcribe","status":"failed","retryable":true},
          {"id":"b","createdAt":731000000.1234567,"operation":"transcribe","status":"failed","retryable":true}])");
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->at(0).createdAt, utc("2001-01-01T00:00:00.000Z"));
  EXPECT_EQ(decoded->at(1).createdAt.toMSecsSinceEpoch() - decoded->at(0).createdAt.toMSecsSinceEpoch(),
            731000000123LL);
}

TEST(RecordingHistory, OneBadRecordMakesTheWholeFileUndecodable) {
  const QByteArray good = R"({"id":"ok","createdAt":1,"operation":"transcribe","status":"success","retryable":true})";
  const struct {
    const char* why;
    QByteArray record;
  } cases[] = {
      {"no id", R"({"createdAt":1,"operation":"transcribe","status":"success","retryable":true})"},
      {"no createdAt", R"({"id":"a","operation":"transcribe","status":"success","retryable":true})"},
      {"no operation", R"({"id":"a","createdAt":1,"status":"success","retryable":true})"},
      {"no status", R"({"id":"a","createdAt":1,"operation":"transcribe","retryable":true})"},
      {"no retryable", R"({"id":"a","createdAt":1,"operation":"transcribe","status":"success"})"},
      {"unknown status", R"({"id":"a","createdAt":1,"operation":"transcribe","status":"done","retryable":true})"},
      {"status in capitals", R"({"id":"a","createdAt":1,"operation":"transcribe","status":"SUCCESS","retryable":true})"},
      {"id a number", R"({"id":7,"createdAt":1,"operation":"transcribe","status":"success","retryable":true})"},
      {"date as text", R"({"id":"a","createdAt":"1","operation":"transcribe","status":"success","retryable":true})"},
      {"retryable as 1", R"({"id":"a","createdAt":1,"operation":"transcribe","status":"success","retryable":1})"},
      {"retryable null", R"({"id":"a","createdAt":1,"operation":"transcribe","status":"success","retryable":null})"},
      {"optional text a number",
       R"({"id":"a","createdAt":1,"operation":"transcribe","status":"success","retryable":true,"transcript":5})"},
      {"duration as text",
       R"({"id":"a","createdAt":1,"operation":"transcribe","status":"success","retryable":true,"processingDuration":"2"})"},
      {"date out of any calendar",
       R"({"id":"a","createdAt":1e300,"operation":"transcribe","status":"success","retryable":true})"},
      {"not an object", R"("a")"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(RecordingHistory::decodeList("[" + good + "," + c.record + "]")) << c.why;
  }
  EXPECT_TRUE(RecordingHistory::decodeList("[" + good + "]"));
  for (const QByteArray& file : {QByteArray(""), QByteArray("{}"), QByteArray("[") + good, QByteArray("null")}) {
    EXPECT_FALSE(RecordingHistory::decodeList(file)) << file.constData();
  }
}

}  // namespace
