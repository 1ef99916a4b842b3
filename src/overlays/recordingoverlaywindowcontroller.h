#pragma once

#include <QObject>

class AudioRecorder;
class OverlayPanel;
class RecordingOverlayView;

// The recording indicator: a bar that floats near the bottom of the screen
// under the pointer while the microphone records and while the service works
// on the recording. The request flow shows it when a recording starts and
// hides it whenever the request ends; it never hides itself (its close button
// only asks the request flow to cancel).
//
// The panel and its view are made on the first showing and kept.
class RecordingOverlayWindowController : public QObject {
  Q_OBJECT

 public:
  static RecordingOverlayWindowController& shared();

  // A controller over `recorder` (the shared one uses AudioRecorder::shared()).
  explicit RecordingOverlayWindowController(AudioRecorder& recorder, QObject* parent = nullptr);
  ~RecordingOverlayWindowController() override;

  void show();
  void hide();

  OverlayPanel* panel() const { return panel_; }
  RecordingOverlayView* view() const { return view_; }

 private:
  void makePanel();

  AudioRecorder& recorder_;
  OverlayPanel* panel_ = nullptr;  // made on the first showing, never destroyed
  RecordingOverlayView* view_ = nullptr;
};
