#include "pipeline/recordprocessor.h"

#include "core/logging.h"
#include "core/overlaypresenter.h"
#include "core/tracelog.h"
#include "localization/appstrings.h"
#include "pipeline/actiondispatcher.h"
#include "pipeline/audiorecorder.h"
#include "pipeline/flowalert.h"
#include "pipeline/historystore.h"
#include "pipeline/processingduration.h"
#include "pipeline/processingfailure.h"
#include "pipeline/recordingresultstore.h"
#include "pipeline/selectionrestorer.h"
#include "service/apiclient.h"
#include "service/authstore.h"

#include <QFileInfo>

RecordProcessor::RecordProcessor(AudioRecorder& recorder, HistoryStore& history, ActionDispatcher& dispatcher,
                                 SelectionRestorer& restorer, QObject* parent)
    : QObject(parent), recorder_(recorder), history_(history), dispatcher_(dispatcher), restorer_(restorer) {}

QCoro::Task<void> RecordProcessor::process(Request request) {
  const QString uploadPath = request.uploadPath.value_or(request.audioFilePath.value_or(QString()));
  if (uploadPath.isEmpty() || !QFileInfo(uploadPath).isFile()) {
    failWithoutAudio(request);
    co_return;
  }

  const quint64 attempt = beginAttempt(request.id);
  history_.markProcessing(request.id);
  trace(QStringLiteral("processRecord: uploading id=") + request.id + QStringLiteral(", operation=") +
        request.operation);

  std::optional<AudioProcessResponse> response;
  std::optional<ProcessingFailure> failure;
  try {
    const QString operation = request.operation;
    const std::optional<QString> selectedText = request.selectedText;
    const std::optional<QStringList> clipboardHistory = request.clipboardHistory;
    response = co_await APIClient::shared().processAudio(uploadPath, operation, selectedText, clipboardHistory);
  } catch (const std::exception& error) {
    qCInfo(lcHotKeyFlow, "processRecord failed: %s", error.what());
    failure = ProcessingFailure::from(error);
  } catch (...) {
    failure = ProcessingFailure{};
    failure->message = currentStrings().errorUnknown;
  }

  // The selection goes back while the request is under way; the answer may
  // paste over it only once it is there.
  if (request.snapshot) co_await restorer_.settled();
  if (dropsAnswer(request.id, attempt)) {
    trace(QStringLiteral("processRecord: answer dropped for id=") + request.id);
    co_return;
  }
  if (response) {
    co_await succeed(request, *response);
  } else {
    co_await fail(request, *failure);
  }
}

quint64 RecordProcessor::beginAttempt(const QString& id) {
  // A cancel concerned the attempt before this one, whose answer this one
  // overtakes anyway.
  cancelledRecordIds_.remove(id);
  const quint64 attempt = ++attempts_;
  latestAttempt_.insert(id, attempt);
  return attempt;
}

bool RecordProcessor::dropsAnswer(const QString& id, quint64 attempt) {
  if (latestAttempt_.value(id) != attempt) return true;  // a newer attempt owns the record now
  latestAttempt_.remove(id);
  if (!cancelledRecordIds_.remove(id)) return false;
  // Only this request's own mark goes: a newer live request keeps its own.
  if (processingRecordId_ == id) processingRecordId_.reset();
  return true;
}

QCoro::Task<void> RecordProcessor::succeed(const Request& request, const AudioProcessResponse& response) {
  const QString resultText = ActionDispatcher::recordedResult(response.actionType, response.result);
  history_.updateRecord(request.id, [&](RecordingHistory& record) {
    stampProcessingDuration(record);
    record.status = RecognitionStatus::success;
    record.transcript = response.transcript;
    record.result = resultText;
    record.actionType = rawValue(response.actionType);
    record.errorMessage.reset();
    record.retryable = true;
  });
  RecordingResultStore::shared().update(response.transcript, resultText, std::nullopt);

  const std::optional<QString> recordId = request.id;
  dispatcher_.handleAction(response.actionType, response.result, request.selectedText, request.snapshot,
                           request.targetPid, response.clarifyQuestion, recordId);

  if (response.creditsRemaining) AuthStore::shared().setCreditsRemaining(*response.creditsRemaining);
  if (response.configUpdate && response.configUpdate->maxDurationSec) {
    recorder_.setMaxDuration(double(*response.configUpdate->maxDurationSec));
  }
  if (response.warning) {
    const QString warning = *response.warning;
    co_await FlowAlert::show(warning);
  }
  endRequest(request.id);
}

QCoro::Task<void> RecordProcessor::fail(const Request& request, const ProcessingFailure& failure) {
  if (failure.kind == ProcessingFailure::Kind::creditsExhausted) AuthStore::shared().setCreditsRemaining(0);

  // Before any sign-out: it empties the history in memory, and nothing could
  // then write the record's end into its account's file.
  history_.updateRecord(request.id, [&failure](RecordingHistory& record) {
    stampProcessingDuration(record);
    record.status = RecognitionStatus::failed;
    record.errorMessage = failure.message;
    record.retryable = failure.retryable;
  });
  if (failure.kind == ProcessingFailure::Kind::signOut) {
    RecordingResultStore::shared().reset();
    AuthStore::shared().clearSession();
  } else {
    RecordingResultStore::shared().update(QString(), QString(), failure.message);
  }

  // Only used-up credits interrupt the user with a tip: they must act before
  // the next recording can start. A too-long recording gets the alert below;
  // any other failure is told by the history record and the latest result,
  // where it can be retried.
  if (failure.kind == ProcessingFailure::Kind::creditsExhausted) OverlayPresenter::current().showTip(failure.message);
  if (failure.maxDurationSec) recorder_.setMaxDuration(double(*failure.maxDurationSec));
  if (failure.durationExceeded) {
    const QString message = failure.message;
    co_await FlowAlert::show(message);
  }
  endRequest(request.id);
}

void RecordProcessor::failWithoutAudio(const Request& request) {
  trace(QStringLiteral("processRecord: no audio file for id=") + request.id);
  history_.updateRecord(request.id, [](RecordingHistory& record) {
    stampProcessingDuration(record);
    record.status = RecognitionStatus::failed;
    record.errorMessage = currentStrings().errorInvalidAudio;
    record.retryable = true;
  });
  // The live request must not stay in processing with nothing left to wait for.
  endRequest(request.id);
}

void RecordProcessor::endRequest(const QString& id) {
  if (processingRecordId_ != id) return;  // a retry: the live request is not ours to end
  processingRecordId_.reset();
  OverlayPresenter::current().hideRecordingOverlay();
  recorder_.resetToIdle();
}

void RecordProcessor::cancelLiveRequest() {
  // An answer already carried out (its alert may still be open) is not
  // undone: only a request still waiting for the service is cancelled.
  if (processingRecordId_ && latestAttempt_.contains(*processingRecordId_)) {
    const QString id = *processingRecordId_;
    cancelledRecordIds_.insert(id);
    history_.updateRecord(id, [](RecordingHistory& record) {
      stampProcessingDuration(record);
      record.status = RecognitionStatus::failed;
      record.errorMessage = currentStrings().errorUserCancelled;
      record.retryable = true;
    });
  }
  processingRecordId_.reset();
}
