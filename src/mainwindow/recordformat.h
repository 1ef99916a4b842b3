#pragma once

#include "pipeline/recordinghistory.h"

#include <QDateTime>
#include <QString>

#include <optional>

// How the pages show a stored request.
namespace RecordFormat {

// The time of day in the user's time zone, 24-hour, no date: "09:05:07".
QString time(const QDateTime& date);

// Seconds with one decimal: "2.3s", "13.0s".
QString duration(double seconds);

// A text counts only when it is there and not empty.
bool isPresent(const std::optional<QString>& text);

// The saved recording is still on disk (asked anew at every call, so a
// file removed behind the program's back is noticed at the next drawing).
bool hasAudioFile(const RecordingHistory& record);

// The answer is a markdown search result ("show_markdown", exactly).
bool isMarkdown(const RecordingHistory& record);

}  // namespace RecordFormat
