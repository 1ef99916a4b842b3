#pragma once

#include "pipeline/recordingstate.h"

#include <QColor>
#include <QString>

#include <optional>

struct AppStrings;

// What the recording indicator shows for one moment of the recorder: cyan
// while recording, red with the seconds left near the longest recording,
// yellow while the service processes the recording.
struct RecordingIndicator {
  RecordingState state = RecordingState::idle;
  float audioLevel = 0;
  std::optional<int> countdown;

  bool isProcessing() const { return state == RecordingState::processing; }
  // The seconds left are shown only while not processing.
  bool isCountdownActive() const { return countdown.has_value() && !isProcessing(); }

  QColor accentColor() const;
  qreal borderWidth() const;
  // The icon's ring swells with the microphone level while recording.
  qreal ringScale() const;
  QString symbolName() const;
  QString statusText(const AppStrings& strings) const;
  // "7s", or empty when no countdown is shown.
  QString countdownText() const;
};
