#include "pipeline/apphotkeyhandler.h"

#include "core/appevents.h"
#include "core/charactercount.h"
#include "core/clock.h"
#include "core/logging.h"
#include "core/overlaypresenter.h"
#include "core/tracelog.h"
#include "localization/appstrings.h"
#include "pipeline/audiorecorder.h"
#include "pipeline/clipboardhistory.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionmanager.h"
#include "platform/accessibilitytrust.h"
#include "platform/frontapplication.h"
#include "platform/panelkeyboard.h"
#include "service/authstore.h"

#include <QFile>
#include <QPointer>
#include <QTimer>
#include <QUuid>

#include <chrono>

namespace {

constexpr int kClipboardItems = 5;
const QString kDefaultOperation = QStringLiteral("transcribe");

QString boolWord(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

RecordProcessor::Request makeRequest(const QString& id, const QString& operation,
                                     const std::optional<QString>& audioFilePath,
                                     const std::optional<QString>& selectedText,
                                     const std::optional<SelectionSnapshot>& snapshot,
                                     const std::optional<QStringList>& clipboardHistory,
                                     std::optional<qint32> targetPid) {
  RecordProcessor::Request request;
  request.id = id;
  request.operation = operation;
  request.audioFilePath = audioFilePath;
  request.selectedText = selectedText;
  request.snapshot = snapshot;
  request.clipboardHistory = clipboardHistory;
  request.targetPid = targetPid;
  return request;
}

}  // namespace

AppHotKeyHandler& AppHotKeyHandler::shared() {
  static AppHotKeyHandler* instance = new AppHotKeyHandler(AudioRecorder::shared(), HistoryStore::shared());
  return *instance;
}

AppHotKeyHandler::AppHotKeyHandler(AudioRecorder& recorder, HistoryStore& history, QObject* parent)
    : QObject(parent),
      recorder_(recorder),
      history_(history),
      restorer_(this),
      inserter_(this),
      dispatcher_(history, inserter_, this),
      processor_(recorder, history, dispatcher_, restorer_, this) {
  startSettleTimer_.setSingleShot(true);
  connect(&startSettleTimer_, &QTimer::timeout, this, [this] {
    QMetaObject::invokeMethod(this, [this] { isStartingRecording_ = false; }, Qt::QueuedConnection);
  });

  // Each notice is handled on a later turn of the event loop, never from
  // inside whoever announced it.
  AppEvents& events = AppEvents::shared();
  connect(&events, &AppEvents::recordingMaxDurationReached, this, [this] { stopAndProcess(); }, Qt::QueuedConnection);
  connect(&events, &AppEvents::recordingInputLost, this, &AppHotKeyHandler::stopAfterInputLost, Qt::QueuedConnection);
  connect(&events, &AppEvents::overlayDismissedDuringRecording, this, &AppHotKeyHandler::cancelRecording,
          Qt::QueuedConnection);
  connect(&events, &AppEvents::overlayDismissedDuringProcessing, this, &AppHotKeyHandler::cancelProcessing,
          Qt::QueuedConnection);
}

const QList<quint64>& AppHotKeyHandler::probeDelays() {
  static const QList<quint64> delays{20, 80, 180, 350};
  return delays;
}

void AppHotKeyHandler::handleHotKey(HotKeyCombo combo) {
  trace(QStringLiteral("handleHotKey: combo=") + rawValue(combo) + QStringLiteral(", state=") +
        toString(recorder_.state()));
  // A request is for the application the user types into: the answer panel
  // they were selecting text in gives the keyboard back there first, before
  // anything reads the selection or types.
  PanelKeyboard::current().giveBack();
  // A press during a start belongs to that start (the user pressed twice, or
  // pressed while the selection was being read): it changes nothing, also
  // when the recorder already runs.
  if (isStartingRecording_) return;
  switch (recorder_.state()) {
    case RecordingState::recording:
      stopAndProcess();
      return;
    case RecordingState::processing:
      return;
    case RecordingState::idle:
      break;
  }
  AuthStore& account = AuthStore::shared();
  if (!account.token()) return;
  if (PermissionManager::shared().accessibilityStatus() != PermissionStatus::granted) return;
  if (account.creditsTotal() >= 1 && account.creditsRemaining() <= 0) {
    OverlayPresenter::current().showTip(currentStrings().errorCreditsExhausted);
    return;
  }
  currentOperation_ = rawValue(combo);
  startRecording();
}

QCoro::Task<void> AppHotKeyHandler::startRecording() {
  PermissionManager& permissions = PermissionManager::shared();
  if (permissions.microphoneStatus() != PermissionStatus::granted) {
    // Presses while the microphone is asked for belong to this start.
    isStartingRecording_ = true;
    co_await permissions.requestMicrophone();
    permissions.refresh();
    isStartingRecording_ = false;
    if (permissions.microphoneStatus() != PermissionStatus::granted) {
      currentOperation_.reset();
      co_return;
    }
  }

  // The microphone opens now, before the selection is read: the copy command
  // alone can take 0.3 s when nothing is selected, and the user starts
  // speaking at the press. The recorder's answer is awaited where the start
  // has always waited for it, after the indicator is shown.
  isStartingRecording_ = true;
  trace(QStringLiteral("startRecording: calling recorder.startRecording()..."));
  QCoro::Task<bool> recorderStart = recorder_.startRecording();

  const bool trusted = AccessibilityTrust::current().isTrusted();
  const QString statusWord = permissions.accessibilityStatus() == PermissionStatus::granted
                                 ? QStringLiteral("granted")
                                 : QStringLiteral("denied/notDetermined");
  qCInfo(lcHotKeyFlow, "AXIsProcessTrusted=%s, accessibilityStatus=%s", qUtf8Printable(boolWord(trusted)),
         qUtf8Printable(statusWord));
  trace(QStringLiteral("startRecording: AXIsProcessTrusted=") + boolWord(trusted) +
        QStringLiteral(", accessibilityStatus=") + statusWord);

  selectionSnapshot_ = SelectionSnapshot::capture();
  if (!selectionSnapshot_) {
    qCInfo(lcHotKeyFlow, "snapshot: no selection (AXTrusted=%s)", qUtf8Printable(boolWord(trusted)));
    trace(QStringLiteral("snapshot nil: AXTrusted=") + boolWord(trusted));
  } else {
    const qsizetype length = characterCount(selectionSnapshot_->text);
    const QString editable = selectionSnapshot_->isEditable ? boolWord(*selectionSnapshot_->isEditable)
                                                            : QStringLiteral("nil");
    qCInfo(lcHotKeyFlow, "snapshot: textLen=%ld, isEditable=%s", long(length), qUtf8Printable(editable));
    trace(QStringLiteral("snapshot OK: textLen=") + QString::number(length) + QStringLiteral(", isEditable=") +
          editable);
  }

  const std::optional<RunningApplication> front = FrontApplication::current().frontmost();
  targetAppPid_ = front ? std::optional<qint32>(front->pid) : std::nullopt;
  clipboardHistory_ = readClipboardHistory(kClipboardItems);
  OverlayPresenter::current().showRecordingOverlay();
  if (selectionSnapshot_) restoreAndLog(*selectionSnapshot_, RestorePhase::start);

  bool started = false;
  try {
    started = co_await std::move(recorderStart);
  } catch (const std::exception& error) {
    qCWarning(lcHotKeyFlow, "recorder start failed: %s", error.what());
  }
  finishStart(started);
}

void AppHotKeyHandler::finishStart(bool engineStarted) {
  endStartAfterWaitingPresses();
  qCInfo(lcHotKeyFlow, "startRecording engine: %s", qUtf8Printable(boolWord(engineStarted)));
  trace(QStringLiteral("startRecording engine result: ") + boolWord(engineStarted) +
        QStringLiteral(", currentOperation=") + currentOperation_.value_or(QStringLiteral("nil")));
  if (!currentOperation_) {
    trace(QStringLiteral("startRecording: user cancelled during engine startup, discarding"));
    if (engineStarted) recorder_.cancelRecording();
    return;
  }
  if (!engineStarted) {
    OverlayPresenter::current().hideRecordingOverlay();
    clearRequest();
    return;
  }
  scheduleProbeRestores();
}

void AppHotKeyHandler::endStartAfterWaitingPresses() {
  // Presses that came while the start held the main thread are still on
  // their way: the key listener reads them from its connection on a later
  // turn of the event loop and hands them over on the turn after. They must
  // find the start in flight. A timer fires only after the loop has read the
  // sockets that were ready, and a call queued from there runs after every
  // press handed over by then.
  startSettleTimer_.start(0);
}

void AppHotKeyHandler::scheduleProbeRestores() {
  // Every delay counts from now, not from the probe before it.
  const quint64 recording = ++recordingNumber_;
  for (const quint64 ms : probeDelays()) {
    QTimer::singleShot(Clock::scaled(std::chrono::milliseconds(ms)), this,
                       [this, ms, recording] { probeRestore(ms, recording); });
  }
}

QCoro::Task<void> AppHotKeyHandler::probeRestore(quint64 ms, quint64 recording) {
  const auto recordingGoesOn = [this, recording] {
    return recording == recordingNumber_ && recorder_.state() == RecordingState::recording;
  };
  if (!recordingGoesOn()) co_return;
  const QPointer<AppHotKeyHandler> self(this);
  const QString diag = co_await SelectionSnapshot::selectionDiag(QStringLiteral("probe-%1ms").arg(ms));
  qCInfo(lcHotKeyFlow, "%s", qUtf8Printable(diag));
  trace(diag);
  // A recording that ended meanwhile has its selection put back by its stop.
  if (!self || !recordingGoesOn() || !selectionSnapshot_) co_return;
  const bool restored = co_await restorer_.restore(*selectionSnapshot_);
  qCInfo(lcHotKeyFlow, "probe restore @%llums returned: %s", static_cast<unsigned long long>(ms),
         qUtf8Printable(boolWord(restored)));
  trace(QStringLiteral("Flow probe restore @") + QString::number(ms) + QStringLiteral("ms returned: ") +
        boolWord(restored));
}

QCoro::Task<void> AppHotKeyHandler::restoreAndLog(SelectionSnapshot snapshot, RestorePhase phase) {
  const bool restored = co_await restorer_.restore(std::move(snapshot));
  if (phase == RestorePhase::start) {
    qCInfo(lcHotKeyFlow, "immediate restore: %s", qUtf8Printable(boolWord(restored)));
  } else {
    qCInfo(lcHotKeyFlow, "processing-phase restore returned: %s", qUtf8Printable(boolWord(restored)));
  }
}

void AppHotKeyHandler::stopAfterInputLost() {
  // A press may have stopped the recording meanwhile; that stop stands.
  if (recorder_.state() != RecordingState::recording) return;
  qCInfo(lcHotKeyFlow, "microphone lost, stopping with what was recorded");
  trace(QStringLiteral("microphone lost during recording, stopping"));
  OverlayPresenter::current().showTip(currentStrings().errorMicrophoneLost);
  stopAndProcess();
}

QCoro::Task<void> AppHotKeyHandler::stopAndProcess() {
  std::optional<QUrl> url;
  try {
    url = co_await recorder_.stopRecording();
  } catch (const std::exception& error) {
    qCWarning(lcHotKeyFlow, "recorder stop failed: %s", error.what());
  }
  if (!url) {
    // A second stop (a press and the longest recording at once) must not
    // take the indicator away from the request the first one is processing.
    if (recorder_.state() != RecordingState::processing) OverlayPresenter::current().hideRecordingOverlay();
    co_return;
  }
  ++recordingNumber_;  // the recording's probes are over

  const QString operation = currentOperation_.value_or(kDefaultOperation);
  std::optional<QString> selectedText;
  if (selectionSnapshot_) {
    selectedText = selectionSnapshot_->text;
  } else if (const std::optional<SelectionSnapshot> late = SelectionSnapshot::capture()) {
    selectedText = late->text;
  }

  const std::optional<qint32> pid = targetAppPid_;
  const QStringList clipboard = clipboardHistory_;
  const std::optional<SelectionSnapshot> snapshot = selectionSnapshot_;
  clearRequest();
  // The upload does not wait for it; the answer's paste does.
  if (snapshot) restoreAndLog(*snapshot, RestorePhase::processing);

  // The history keeps a copy for a retry. Without one (the policy keeps
  // nothing, nobody is signed in, the copy failed) the recording itself is
  // sent and removed only once the service has answered.
  const QString recordingPath = url->toLocalFile();
  const std::optional<QString> audioFilePath = history_.persistAudio(recordingPath);

  RecordingHistory record;
  record.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
  record.createdAt = Clock::now();
  record.operation = operation;
  record.audioFilePath = audioFilePath;
  record.selectedText = selectedText;
  record.status = RecognitionStatus::processing;
  record.retryable = true;
  history_.addRecord(record);
  processor_.setProcessingRecordId(record.id);

  RecordProcessor::Request request =
      makeRequest(record.id, operation, audioFilePath, selectedText, snapshot, clipboard, pid);
  if (audioFilePath) {
    QFile::remove(recordingPath);
  } else {
    request.uploadPath = recordingPath;
  }
  co_await processor_.process(request);
  if (!audioFilePath) keepForRetryOrRemove(record.id, recordingPath);
}

void AppHotKeyHandler::keepForRetryOrRemove(const QString& id, const QString& recordingPath) {
  // A request that failed but may be tried again needs its audio: the copy
  // into the history is tried once more, and when it fails again the record
  // points at the recording itself, which then stays where it is.
  const std::optional<RecordingHistory> stored = history_.record(id);
  if (stored && stored->status == RecognitionStatus::failed && stored->retryable && !stored->audioFilePath) {
    const std::optional<QString> copy = history_.persistAudio(recordingPath);
    const QString kept = copy.value_or(recordingPath);
    history_.updateRecord(id, [&kept](RecordingHistory& changed) { changed.audioFilePath = kept; });
    if (!copy) return;
  }
  QFile::remove(recordingPath);
}

QCoro::Task<void> AppHotKeyHandler::processRecord(QString id, QString operation, std::optional<QString> audioFilePath,
                                                  std::optional<QString> selectedText,
                                                  std::optional<SelectionSnapshot> snapshot,
                                                  std::optional<QStringList> clipboardHistory,
                                                  std::optional<qint32> targetPid) {
  const RecordProcessor::Request request =
      makeRequest(id, operation, audioFilePath, selectedText, snapshot, clipboardHistory, targetPid);
  co_await processor_.process(request);
}

void AppHotKeyHandler::cancelRecording() {
  if (recorder_.state() == RecordingState::processing) return;
  recorder_.cancelRecording();
  // A start still waiting for the recorder finds no operation and discards itself.
  clearRequest();
  OverlayPresenter::current().hideRecordingOverlay();
}

void AppHotKeyHandler::cancelProcessing() {
  if (recorder_.state() != RecordingState::processing) return;
  processor_.cancelLiveRequest();
  OverlayPresenter::current().hideRecordingOverlay();
  recorder_.resetToIdle();
}

void AppHotKeyHandler::clearRequest() {
  currentOperation_.reset();
  targetAppPid_.reset();
  clipboardHistory_.clear();
  selectionSnapshot_.reset();
}
