#pragma once

#include "pipeline/recognitionstatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

class CompactJsonWriter;

// One stored hotkey request: when it was made, which operation, the selection
// that went with it, the copy of its recording, what the service returned and
// how it ended. A plain value identified by `id`.
//
// In the history file each record is a JSON object whose member names are the
// field names; absent optionals are left out, dates are seconds since
// 2001-01-01 00:00:00 UTC (kept to the millisecond here).
struct RecordingHistory {
  QString id;  // the request flow uses an upper-case UUID
  QDateTime createdAt;
  QString operation;  // "transcribe", "rewrite" or "agent"
  std::optional<QString> audioFilePath;  // the copy in the account's AudioFiles folder
  std::optional<QString> selectedText;
  std::optional<QString> transcript;
  std::optional<QString> result;
  std::optional<QString> actionType;
  RecognitionStatus status = RecognitionStatus::pending;
  std::optional<QString> errorMessage;
  bool retryable = false;
  std::optional<double> processingDuration;  // seconds from processStartedAt to the answer
  std::optional<QDateTime> processStartedAt;  // start of the latest processing attempt

  bool operator==(const RecordingHistory& other) const = default;

  // Appends the record as one JSON object.
  void writeJson(CompactJsonWriter& writer) const;

  // Strict: nothing unless the five required members ("id", "createdAt",
  // "operation", "status", "retryable") are there with their types, "status"
  // is one of the raw values, and every optional member present is either
  // null or of its type. Unknown members are ignored.
  static std::optional<RecordingHistory> fromJson(const QJsonValue& value);

  // The whole history file: a compact JSON array in list order.
  static QByteArray encodeList(const QList<RecordingHistory>& records);
  // Nothing unless the data is a JSON array of which every element decodes:
  // one bad record makes the whole file undecodable.
  static std::optional<QList<RecordingHistory>> decodeList(const QByteArray& data);
};
