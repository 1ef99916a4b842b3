#include "onboarding/liverequestwatcher.h"

#include "pipeline/apphotkeyhandler.h"
#include "pipeline/audiorecorder.h"
#include "pipeline/recordinghistory.h"
#include "pipeline/recordingresultstore.h"

#include <utility>

LiveRequestWatcher::LiveRequestWatcher(AudioRecorder& recorder, AppHotKeyHandler& flow, RecordingResultStore& results,
                                       QObject* parent)
    : QObject(parent), recorder_(recorder), flow_(flow), results_(results) {
  connect(&recorder_, &AudioRecorder::stateChanged, this, &LiveRequestWatcher::recorderStateChanged);
  // The error is the last of the three fields an update assigns.
  connect(&results_, &RecordingResultStore::errorMessageChanged, this, &LiveRequestWatcher::resultPublished);
}

void LiveRequestWatcher::recorderStateChanged() {
  if (recorder_.state() != RecordingState::processing) {
    // Back to idle the request is over: answered (the result came first),
    // cancelled or dropped. A later result belongs to something else, such
    // as a retry from the history.
    pending_.reset();
    return;
  }
  // The recording has just stopped; the flow forgets the request's start
  // right after this, on its way to the service.
  const std::optional<QString> operation = flow_.currentOperation();
  if (!operation) return;
  Pending pending{*operation, std::nullopt, false};
  if (const std::optional<SelectionSnapshot> snapshot = flow_.selectionSnapshot()) {
    pending.selectedText = snapshot->text;
    pending.editableSelection = snapshot->isEditable.value_or(false);
  }
  pending_ = pending;
}

void LiveRequestWatcher::resultPublished() {
  if (!pending_) return;
  const Pending pending = *std::exchange(pending_, std::nullopt);
  RecordingHistory request;
  request.operation = pending.operation;
  request.selectedText = pending.selectedText;
  // A sign-out clears the result without an error: that is no answer.
  const bool answered = !results_.errorMessage() && !(results_.transcript().isEmpty() && results_.result().isEmpty());
  request.status = answered ? RecognitionStatus::success : RecognitionStatus::failed;
  if (answered && pending.editableSelection) request.actionType = QStringLiteral("paste");
  Q_EMIT requestFinished(request);
}
