#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

// The user's personas (custom instructions for the three operations), kept on
// the service.

// A persona's instructions per operation. The three switches are required: a
// persona without one of them fails, and with it the whole persona list.
struct PersonaPrompts {
  std::optional<QString> transcribePrompt;  // "transcribe_prompt"
  bool transcribeEnabled = false;           // "transcribe_enabled"
  std::optional<QString> rewritePrompt;     // "rewrite_prompt"
  bool rewriteEnabled = false;              // "rewrite_enabled"
  std::optional<QString> intentHint;        // "intent_hint"
  bool intentEnabled = false;               // "intent_enabled"

  static PersonaPrompts fromJson(const QJsonValue& value);
  QJsonObject toJson() const;
  bool operator==(const PersonaPrompts&) const = default;
};

// One persona; identified by its id. The persona store changes `isActive` in
// place when one persona is activated or all are deactivated.
struct PersonaItem {
  QString id;                          // "id"
  QString name;                        // "name"
  std::optional<QString> description;  // "description"
  bool isActive = false;               // "is_active"
  PersonaPrompts prompts;              // "prompts"

  static PersonaItem fromJson(const QJsonValue& value);
  QJsonObject toJson() const;
  bool operator==(const PersonaItem&) const = default;
};

// GET "/personas", in the service's order.
struct PersonaListResponse {
  QList<PersonaItem> personas;  // "personas"

  static PersonaListResponse fromJson(const QJsonValue& value);
  bool operator==(const PersonaListResponse&) const = default;
};

// POST "/personas"; the answer is the created persona.
struct PersonaCreateBody {
  QString name;                        // "name"
  std::optional<QString> description;  // "description", left out when absent
  PersonaPrompts prompts;              // "prompts"

  QJsonObject toJson() const;
};

// PUT "/personas/<id>": only what changes is sent; nothing set is {}.
struct PersonaUpdateBody {
  std::optional<QString> name;            // "name"
  std::optional<QString> description;     // "description"
  std::optional<PersonaPrompts> prompts;  // "prompts"

  QJsonObject toJson() const;
};
