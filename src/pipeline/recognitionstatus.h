#pragma once

#include <QString>

#include <optional>

// How far a stored request got. The raw values are what the history file
// stores, so they never change.
enum class RecognitionStatus { pending, processing, success, failed };

// "pending", "processing", "success", "failed".
QString rawValue(RecognitionStatus status);

// Exactly one of the four raw values (case-sensitive); anything else is none.
std::optional<RecognitionStatus> recognitionStatusFromRawValue(const QString& raw);
