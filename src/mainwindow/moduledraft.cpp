#include "mainwindow/moduledraft.h"

#include "core/charactercount.h"
#include "mainwindow/leadingcharacters.h"

ModuleDraft::State ModuleDraft::state() const {
  if (!isFilled()) return State::builtIn;
  return enabled ? State::active : State::custom;
}

void ModuleDraft::edit(const QString& text) {
  prompt = characterCount(text) > maxLength ? leadingCharacters(text, maxLength) : text;
  if (prompt.trimmed().isEmpty()) enabled = false;
}

void ModuleDraft::clear() {
  prompt.clear();
  enabled = false;
}

std::pair<std::optional<QString>, bool> ModuleDraft::saved() const {
  const QString trimmed = trimmedPrompt();
  if (trimmed.isEmpty()) return {std::nullopt, false};
  return {trimmed, enabled};
}
