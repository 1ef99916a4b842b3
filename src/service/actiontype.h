#pragma once

#include <QHashFunctions>
#include <QJsonValue>
#include <QString>

#include <optional>

// What the service asks the program to do with a processed recording. The set
// is closed: an answer naming any other action does not decode.
enum class ActionType {
  paste,
  clarify,
  showMarkdown,
  tip,
  openclawExecute,
  openclawSlashCommand,
  openclawCliCommand,
  openclawInteractive,
  openclawCommand,
};

// The wire value: "paste", "clarify", "show_markdown", "tip",
// "openclaw_execute", "openclaw_slash_command", "openclaw_cli_command",
// "openclaw_interactive", "openclaw_command".
QString rawValue(ActionType action);

// Exact, case-sensitive: "Paste" and "PASTE" are no action.
std::optional<ActionType> actionTypeFromRawValue(const QString& raw);

// Decodes one JSON value that must be a string naming an action; throws
// JsonDecodeError otherwise.
ActionType actionTypeFromJson(const QJsonValue& value);

// Hashes the wire value, so equal actions hash alike across runs and builds.
size_t qHash(ActionType action, size_t seed = 0) noexcept;
