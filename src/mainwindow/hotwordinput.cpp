#include "mainwindow/hotwordinput.h"

#include "core/charactercount.h"

namespace {

// Spaces of every script and the tab, but not line breaks.
bool isBlank(QChar character) { return character == u'\t' || character.category() == QChar::Separator_Space; }

}  // namespace

QString HotWordInput::trimmed(const QString& word) {
  qsizetype start = 0;
  qsizetype end = word.size();
  while (start < end && isBlank(word.at(start))) ++start;
  while (end > start && isBlank(word.at(end - 1))) --end;
  return word.mid(start, end - start);
}

qsizetype HotWordInput::length(const QString& word) { return characterCount(trimmed(word)); }

bool HotWordInput::canSave(const QString& word, int maxLength) {
  const qsizetype count = length(word);
  return count > 0 && count <= maxLength;
}
