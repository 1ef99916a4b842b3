#include "pipeline/recognitionstatus.h"

#include <array>

namespace {

constexpr std::array kAllStatuses{RecognitionStatus::pending, RecognitionStatus::processing,
                                  RecognitionStatus::success, RecognitionStatus::failed};

}  // namespace

QString rawValue(RecognitionStatus status) {
  switch (status) {
    case RecognitionStatus::pending: return QStringLiteral("pending");
    case RecognitionStatus::processing: return QStringLiteral("processing");
    case RecognitionStatus::success: return QStringLiteral("success");
    case RecognitionStatus::failed: return QStringLiteral("failed");
  }
  return {};
}

std::optional<RecognitionStatus> recognitionStatusFromRawValue(const QString& raw) {
  for (RecognitionStatus status : kAllStatuses) {
    if (rawValue(status) == raw) return status;
  }
  return std::nullopt;
}
