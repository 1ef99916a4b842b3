#pragma once

#include <QObject>
#include <QString>

#include <optional>

class AppHotKeyHandler;
class AudioRecorder;
class RecordingResultStore;
struct RecordingHistory;

// Sees each request of the live flow end, whether or not the history keeps
// its record (under the retention policy "never" it keeps none, and the
// practice exercises must still be passable).
//
// When the recorder turns to processing, the flow still holds what the
// request was started with (its operation and the selection then); when the
// latest result is published next, the request has ended, successfully when
// the result carries no error. The record-like value it reports has the
// operation, the selected text, the status, and the action "paste" for a
// selection in an editable element, which is where the flow pastes; the
// service's own action type is not known here.
class LiveRequestWatcher : public QObject {
  Q_OBJECT

 public:
  LiveRequestWatcher(AudioRecorder& recorder, AppHotKeyHandler& flow, RecordingResultStore& results,
                     QObject* parent = nullptr);

 Q_SIGNALS:
  void requestFinished(const RecordingHistory& request);

 private:
  struct Pending {
    QString operation;
    std::optional<QString> selectedText;
    bool editableSelection = false;
  };

  void recorderStateChanged();
  void resultPublished();

  AudioRecorder& recorder_;
  AppHotKeyHandler& flow_;
  RecordingResultStore& results_;
  std::optional<Pending> pending_;
};
