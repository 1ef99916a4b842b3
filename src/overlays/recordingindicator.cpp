#include "overlays/recordingindicator.h"

#include "localization/appstrings.h"
#include "theme/palette.h"

QColor RecordingIndicator::accentColor() const {
  if (isProcessing()) return Palette::neonYellow;
  if (isCountdownActive()) return Palette::neonRed;
  return Palette::neonCyan;
}

qreal RecordingIndicator::borderWidth() const { return isCountdownActive() ? 1.6 : 1.2; }

qreal RecordingIndicator::ringScale() const { return isProcessing() ? 1.0 : 1.0 + qreal(audioLevel) * 0.3; }

QString RecordingIndicator::symbolName() const {
  return isProcessing() ? QStringLiteral("waveform") : QStringLiteral("mic.fill");
}

QString RecordingIndicator::statusText(const AppStrings& strings) const {
  return isProcessing() ? strings.overlayRecognizing : strings.overlayRecording;
}

QString RecordingIndicator::countdownText() const {
  return isCountdownActive() ? QStringLiteral("%1s").arg(*countdown) : QString();
}
