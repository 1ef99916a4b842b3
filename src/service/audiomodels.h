#pragma once

#include "service/actiontype.h"
#include "service/configmodels.h"

#include <QJsonValue>
#include <QString>

#include <optional>

// The answer of the audio upload (POST "/audio/process"). Strict throughout:
// an unknown "action_type" fails the whole answer; there is no fallback action.
struct AudioProcessResponse {
  QString operation;                          // "operation"
  ActionType actionType = ActionType::paste;  // "action_type"
  QString transcript;                         // "transcript": the recognised speech
  QString result;                             // "result": the text the action works on
  std::optional<QString> modelProvider;       // "model_provider"
  std::optional<QString> modelName;           // "model_name"
  std::optional<QString> warning;             // "warning"
  std::optional<ConfigUpdatePayload> configUpdate;  // "config_update"
  std::optional<QString> clarifyQuestion;     // "clarify_question"
  std::optional<qint64> creditsRemaining;     // "credits_remaining": the account's new balance

  static AudioProcessResponse fromJson(const QJsonValue& value);
  bool operator==(const AudioProcessResponse&) const = default;
};
