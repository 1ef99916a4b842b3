#include "pipeline/recordinghistory.h"

#include "core/compactjsonwriter.h"
#include "core/referencedate.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonDocument>

#include <cmath>

namespace {

// The member names of the history file.
constexpr QLatin1StringView kId("id");
constexpr QLatin1StringView kCreatedAt("createdAt");
constexpr QLatin1StringView kOperation("operation");
constexpr QLatin1StringView kAudioFilePath("audioFilePath");
constexpr QLatin1StringView kSelectedText("selectedText");
constexpr QLatin1StringView kTranscript("transcript");
constexpr QLatin1StringView kResult("result");
constexpr QLatin1StringView kActionType("actionType");
constexpr QLatin1StringView kStatus("status");
constexpr QLatin1StringView kErrorMessage("errorMessage");
constexpr QLatin1StringView kRetryable("retryable");
constexpr QLatin1StringView kProcessingDuration("processingDuration");
constexpr QLatin1StringView kProcessStartedAt("processStartedAt");

double encodeDate(const QDateTime& date) { return ReferenceDate::secondsSinceReferenceDate(date); }

// Reading one member strictly. An optional member may be missing or null; a
// member that is there with the wrong type fails the record, as it would
// fail the whole file in any strict reader of it.
class Reader {
 public:
  explicit Reader(const QJsonObject& object) : object_(object) {}

  bool ok() const { return ok_; }

  QString text(QLatin1StringView key) {
    const QJsonValue value = object_.value(key);
    if (!value.isString()) ok_ = false;
    return value.toString();
  }

  std::optional<QString> optionalText(QLatin1StringView key) {
    const QJsonValue value = object_.value(key);
    if (isAbsent(value)) return std::nullopt;
    if (!value.isString()) ok_ = false;
    return value.toString();
  }

  bool boolean(QLatin1StringView key) {
    const QJsonValue value = object_.value(key);
    if (!value.isBool()) ok_ = false;
    return value.toBool();
  }

  std::optional<double> optionalNumber(QLatin1StringView key) {
    const QJsonValue value = object_.value(key);
    if (isAbsent(value)) return std::nullopt;
    if (!value.isDouble()) ok_ = false;
    return value.toDouble();
  }

  QDateTime date(QLatin1StringView key) {
    const QJsonValue value = object_.value(key);
    if (!value.isDouble()) {
      ok_ = false;
      return {};
    }
    return toDate(value.toDouble());
  }

  std::optional<QDateTime> optionalDate(QLatin1StringView key) {
    const std::optional<double> seconds = optionalNumber(key);
    if (!seconds) return std::nullopt;
    return toDate(*seconds);
  }

  RecognitionStatus status(QLatin1StringView key) {
    const auto status = recognitionStatusFromRawValue(text(key));
    if (!status) ok_ = false;
    return status.value_or(RecognitionStatus::pending);
  }

 private:
  static bool isAbsent(const QJsonValue& value) { return value.isUndefined() || value.isNull(); }

  QDateTime toDate(double seconds) {
    const auto date = ReferenceDate::dateFromSecondsSinceReferenceDate(seconds);
    if (!date) ok_ = false;
    return date.value_or(QDateTime());
  }

  const QJsonObject& object_;
  bool ok_ = true;
};

}  // namespace

void RecordingHistory::writeJson(CompactJsonWriter& writer) const {
  writer.beginObject();
  const auto text = [&writer](QLatin1StringView key, const std::optional<QString>& value) {
    if (!value) return;
    writer.key(key);
    writer.string(*value);
  };
  writer.key(kId);
  writer.string(id);
  writer.key(kCreatedAt);
  writer.number(encodeDate(createdAt));
  writer.key(kOperation);
  writer.string(operation);
  text(kAudioFilePath, audioFilePath);
  text(kSelectedText, selectedText);
  text(kTranscript, transcript);
  text(kResult, result);
  text(kActionType, actionType);
  writer.key(kStatus);
  writer.string(rawValue(status));
  text(kErrorMessage, errorMessage);
  writer.key(kRetryable);
  writer.boolean(retryable);
  // JSON has no form for NaN or infinity; such a duration means nothing anyway.
  if (processingDuration && std::isfinite(*processingDuration)) {
    writer.key(kProcessingDuration);
    writer.number(*processingDuration);
  }
  if (processStartedAt) {
    writer.key(kProcessStartedAt);
    writer.number(encodeDate(*processStartedAt));
  }
  writer.endObject();
}

std::optional<RecordingHistory> RecordingHistory::fromJson(const QJsonValue& value) {
  if (!value.isObject()) return std::nullopt;
  const QJsonObject object = value.toObject();
  Reader read(object);
  RecordingHistory record;
  record.id = read.text(kId);
  record.createdAt = read.date(kCreatedAt);
  record.operation = read.text(kOperation);
  record.audioFilePath = read.optionalText(kAudioFilePath);
  record.selectedText = read.optionalText(kSelectedText);
  record.transcript = read.optionalText(kTranscript);
  record.result = read.optionalText(kResult);
  record.actionType = read.optionalText(kActionType);
  record.status = read.status(kStatus);
  record.errorMessage = read.optionalText(kErrorMessage);
  record.retryable = read.boolean(kRetryable);
  record.processingDuration = read.optionalNumber(kProcessingDuration);
  record.processStartedAt = read.optionalDate(kProcessStartedAt);
  if (!read.ok()) return std::nullopt;
  return record;
}

QByteArray RecordingHistory::encodeList(const QList<RecordingHistory>& records) {
  CompactJsonWriter writer;
  writer.beginArray();
  for (const RecordingHistory& record : records) record.writeJson(writer);
  writer.endArray();
  return writer.take();
}

std::optional<QList<RecordingHistory>> RecordingHistory::decodeList(const QByteArray& data) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(data, &error);
  if (error.error != QJsonParseError::NoError || !document.isArray()) return std::nullopt;
  const QJsonArray array = document.array();
  QList<RecordingHistory> records;
  records.reserve(array.size());
  for (const QJsonValue& item : array) {
    auto record = fromJson(item);
    if (!record) return std::nullopt;
    records.append(std::move(*record));
  }
  return records;
}
