#pragma once

#include "pipeline/selectionsnapshot.h"
#include "service/actiontype.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class HistoryStore;
class TextInserter;

// Carries out what the service asked for with a processed recording: text at
// the cursor, a clarifying question, a markdown answer, a tip, or a command
// for the local OpenClaw agent, whose later reply completes the request's
// history record. Main thread only.
class ActionDispatcher : public QObject {
  Q_OBJECT

 public:
  // What the dispatcher asks of the OpenClaw bridge: the program's is the
  // bridge itself; tests hand in their own.
  struct AgentBridge {
    using ReplyHandler = std::function<void(const QString& reply)>;
    using FailureHandler = std::function<void(const QString& message)>;
    std::function<void(const QString& text, ReplyHandler onReply, FailureHandler onFailure)> relayToGateway;
    std::function<void(const QString& text, ReplyHandler onReply, FailureHandler onFailure)> handleVoiceCommand;
  };

  ActionDispatcher(HistoryStore& history, TextInserter& inserter, QObject* parent = nullptr);

  void setAgentBridge(AgentBridge bridge) { agent_ = std::move(bridge); }

  // `result` is the service's text as it came; `recordId` names the history
  // record that an agent's reply completes (none: replies are not kept).
  void handleAction(ActionType action, const QString& result, const std::optional<QString>& selectedText,
                    const std::optional<SelectionSnapshot>& snapshot, std::optional<qint32> pid,
                    const std::optional<QString>& clarifyQuestion, const std::optional<QString>& recordId);

  // The agent replied to the request of record `id`: the record succeeds,
  // with the reply as its result when there is one.
  void updateRecord(const QString& id, const QString& reply);

  // The agent could not answer the request of record `id`: the record
  // fails with the message the user was shown, and can be retried.
  void failRecord(const QString& id, const QString& message);

  // The result a record keeps for an answer: the agent's commands show that
  // they are under way until the agent replies, a tip its localized text.
  static QString recordedResult(ActionType action, const QString& serviceResult);

 private:
  // Writes the agent's reply into record `recordId`; nothing without a record.
  AgentBridge::ReplyHandler replyHandler(const std::optional<QString>& recordId);
  AgentBridge::FailureHandler failureHandler(const std::optional<QString>& recordId);

  HistoryStore& history_;
  TextInserter& inserter_;
  AgentBridge agent_;
};
