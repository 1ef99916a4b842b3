#pragma once

#include <QObject>

// The process-wide notifications that pass between subsystems. One signal per
// notification; the names in the comments are the ones logs and traces use.
// Emit from the main thread; receivers elsewhere get queued delivery.
class AppEvents : public QObject {
  Q_OBJECT

 public:
  static AppEvents& shared();

 Q_SIGNALS:
  // "audioRecorderStateChanged": the recorder started (true) or left recording (false).
  void audioRecorderStateChanged(bool recording);
  // "recordingMaxDurationReached": the recording reached the longest allowed duration.
  void recordingMaxDurationReached();
  // "recordingInputLost": the microphone of the running recording went away or
  // failed and no other input could take over; what was recorded is kept.
  void recordingInputLost();
  // "overlayDismissedDuringRecording": the user closed the recording indicator while recording.
  void overlayDismissedDuringRecording();
  // "overlayDismissedDuringProcessing": the user closed the indicator while a request was processed.
  void overlayDismissedDuringProcessing();

 private:
  AppEvents() = default;
};
