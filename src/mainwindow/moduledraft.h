#pragma once

#include <QString>

#include <optional>
#include <utility>

// One module prompt of a persona while it is edited: the text as typed and
// its switch. A module is "filled" when its trimmed text is not empty and
// "active" when it is filled and switched on; an empty module uses the
// service's built-in prompt, a filled one that is switched off keeps its text
// without using it.
struct ModuleDraft {
  enum class State { active, builtIn, custom };

  QString prompt;
  bool enabled = false;

  static constexpr qsizetype maxLength = 2000;
  // The counter warns over the last hundred characters.
  static constexpr qsizetype warningLength = maxLength - 100;

  QString trimmedPrompt() const { return prompt.trimmed(); }
  bool isFilled() const { return !trimmedPrompt().isEmpty(); }
  bool isActive() const { return enabled && isFilled(); }
  State state() const;

  // The text as typed or pasted: cut to maxLength characters; a blank text
  // switches the module off, so it can never stay on without a prompt.
  void edit(const QString& text);
  // Back to the built-in prompt: no text, switched off.
  void clear();

  // What is sent: the trimmed prompt (nothing when blank) and whether it is
  // used (never without a prompt).
  std::pair<std::optional<QString>, bool> saved() const;
};
