#pragma once

#include <QString>

// The recorder's phase, as the request flow, the overlay and the tray see it.
enum class RecordingState { idle, recording, processing };

// The case name ("idle", "recording", "processing"), as logs and traces write it.
inline QString toString(RecordingState state) {
  switch (state) {
    case RecordingState::idle:
      return QStringLiteral("idle");
    case RecordingState::recording:
      return QStringLiteral("recording");
    case RecordingState::processing:
      return QStringLiteral("processing");
  }
  return QStringLiteral("idle");
}
