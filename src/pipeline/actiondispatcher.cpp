#include "pipeline/actiondispatcher.h"

#include "core/overlaypresenter.h"
#include "localization/appstrings.h"
#include "localization/servermessages.h"
#include "openclaw/openclawmanager.h"
#include "pipeline/historystore.h"
#include "pipeline/processingduration.h"
#include "pipeline/textinserter.h"

#include <QPointer>

ActionDispatcher::ActionDispatcher(HistoryStore& history, TextInserter& inserter, QObject* parent)
    : QObject(parent),
      history_(history),
      inserter_(inserter),
      agent_{[](const QString& text, AgentBridge::ReplyHandler onReply, AgentBridge::FailureHandler onFailure) {
               OpenClawManager::shared().relayToGateway(text, std::move(onReply), std::move(onFailure));
             },
             [](const QString& text, AgentBridge::ReplyHandler onReply, AgentBridge::FailureHandler onFailure) {
               OpenClawManager::shared().handleVoiceCommand(text, std::move(onReply), std::move(onFailure));
             }} {}

QString ActionDispatcher::recordedResult(ActionType action, const QString& serviceResult) {
  switch (action) {
    case ActionType::openclawExecute:
    case ActionType::openclawSlashCommand:
    case ActionType::openclawCommand:
      return currentStrings().openclawProcessing;
    case ActionType::tip:
      return localizedOpenClawStatus(serviceResult);
    case ActionType::paste:
    case ActionType::clarify:
    case ActionType::showMarkdown:
    case ActionType::openclawCliCommand:
    case ActionType::openclawInteractive:
      break;
  }
  return serviceResult;
}

void ActionDispatcher::handleAction(ActionType action, const QString& result,
                                    const std::optional<QString>& selectedText,
                                    const std::optional<SelectionSnapshot>& snapshot, std::optional<qint32> pid,
                                    const std::optional<QString>& clarifyQuestion,
                                    const std::optional<QString>& recordId) {
  OverlayPresenter& overlays = OverlayPresenter::current();
  switch (action) {
    case ActionType::paste:
      inserter_.insert(result, selectedText, snapshot, pid);
      return;
    case ActionType::clarify:
      overlays.showClarify(clarifyQuestion.value_or(currentStrings().overlayClarifyFallback));
      return;
    case ActionType::showMarkdown:
      overlays.showResult(result, true, false);
      return;
    case ActionType::tip:
      overlays.showTip(localizedOpenClawStatus(result));
      return;
    case ActionType::openclawExecute: {
      const QString text = OpenClawManager::composeWithSelection(result, selectedText);
      // Relayed on a later turn of the event loop: the request ends first.
      QMetaObject::invokeMethod(
          this,
          [this, text, onReply = replyHandler(recordId), onFailure = failureHandler(recordId)] {
            agent_.relayToGateway(text, onReply, onFailure);
          },
          Qt::QueuedConnection);
      return;
    }
    case ActionType::openclawSlashCommand:
    case ActionType::openclawCommand:
      agent_.handleVoiceCommand(result, replyHandler(recordId), failureHandler(recordId));
      return;
    case ActionType::openclawCliCommand:
    case ActionType::openclawInteractive:
      agent_.handleVoiceCommand(result, {}, {});
      return;
  }
}

ActionDispatcher::AgentBridge::ReplyHandler ActionDispatcher::replyHandler(const std::optional<QString>& recordId) {
  if (!recordId) return {};
  // The reply may come long after, when the record or the dispatcher is gone.
  return [self = QPointer<ActionDispatcher>(this), id = *recordId](const QString& reply) {
    if (self) self->updateRecord(id, reply);
  };
}

ActionDispatcher::AgentBridge::FailureHandler ActionDispatcher::failureHandler(const std::optional<QString>& recordId) {
  if (!recordId) return {};
  return [self = QPointer<ActionDispatcher>(this), id = *recordId](const QString& message) {
    if (self) self->failRecord(id, message);
  };
}

void ActionDispatcher::failRecord(const QString& id, const QString& message) {
  // Otherwise the record would read "processing" with a success mark for good.
  history_.updateRecord(id, [&message](RecordingHistory& record) {
    stampProcessingDuration(record);
    record.status = RecognitionStatus::failed;
    record.errorMessage = message;
    record.retryable = true;
  });
}

void ActionDispatcher::updateRecord(const QString& id, const QString& reply) {
  history_.updateRecord(id, [&reply](RecordingHistory& record) {
    stampProcessingDuration(record);
    record.status = RecognitionStatus::success;
    if (!reply.isEmpty()) record.result = reply;
    record.errorMessage.reset();
    record.retryable = true;
  });
}
