#include "service/actiontype.h"

#include "service/jsoncoding.h"

#include <array>
#include <utility>

namespace {

const std::array<std::pair<ActionType, const char*>, 9> kRawValues = {{
    {ActionType::paste, "paste"},
    {ActionType::clarify, "clarify"},
    {ActionType::showMarkdown, "show_markdown"},
    {ActionType::tip, "tip"},
    {ActionType::openclawExecute, "openclaw_execute"},
    {ActionType::openclawSlashCommand, "openclaw_slash_command"},
    {ActionType::openclawCliCommand, "openclaw_cli_command"},
    {ActionType::openclawInteractive, "openclaw_interactive"},
    {ActionType::openclawCommand, "openclaw_command"},
}};

}  // namespace

QString rawValue(ActionType action) {
  for (const auto& [candidate, raw] : kRawValues) {
    if (candidate == action) return QString::fromLatin1(raw);
  }
  return {};
}

std::optional<ActionType> actionTypeFromRawValue(const QString& raw) {
  for (const auto& [action, candidate] : kRawValues) {
    if (raw == QLatin1String(candidate)) return action;
  }
  return std::nullopt;
}

ActionType actionTypeFromJson(const QJsonValue& value) {
  if (!value.isString()) throw JsonDecodeError(QStringLiteral("action_type: expected a string"));
  const std::optional<ActionType> action = actionTypeFromRawValue(value.toString());
  if (!action) {
    throw JsonDecodeError(QStringLiteral("action_type: cannot initialize ActionType from invalid value \"%1\"")
                              .arg(value.toString()));
  }
  return *action;
}

size_t qHash(ActionType action, size_t seed) noexcept { return ::qHash(rawValue(action), seed); }
