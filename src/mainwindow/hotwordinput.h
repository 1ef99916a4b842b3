#pragma once

#include <QString>

// The rules of a hotword as typed: what is saved is the text without the
// spaces and tabs around it (line breaks are kept), counted in characters as
// a person sees them, and it can be saved when it is not empty and at most
// `maxLength` long. Typing is never cut short; the counter tells.
namespace HotWordInput {

constexpr int maxLength = 20;
constexpr int maxHotWords = 30;

QString trimmed(const QString& word);
qsizetype length(const QString& word);  // of the trimmed word
bool canSave(const QString& word, int maxLength = HotWordInput::maxLength);

}  // namespace HotWordInput
