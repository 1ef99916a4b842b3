#include "overlays/markdownlines.h"

namespace MarkdownLines {

bool isWhitespace(QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; }

QString withoutLoneSurrogates(const QString& text) {
  QString repaired;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (!text[i].isSurrogate()) continue;
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      ++i;
      continue;
    }
    if (repaired.isNull()) repaired = text;
    repaired[i] = QChar::ReplacementCharacter;
  }
  return repaired.isNull() ? text : repaired;
}

QStringView trimmed(QStringView line) {
  qsizetype begin = 0;
  qsizetype end = line.size();
  while (begin < end && isWhitespace(line[begin])) ++begin;
  while (end > begin && isWhitespace(line[end - 1])) --end;
  return line.mid(begin, end - begin);
}

bool isTableSeparatorRow(QStringView line) {
  const QStringView rest = trimmed(line);
  if (!rest.contains(u'|')) return false;
  for (QChar c : rest) {
    if (c != u'|' && c != u'-' && c != u':' && c != u' ') return false;
  }
  return true;
}

QStringList parseTableRow(QStringView line) {
  QStringView rest = trimmed(line);
  if (rest.startsWith(u'|')) rest = rest.mid(1);
  if (rest.endsWith(u'|')) rest = rest.chopped(1);
  QStringList cells;
  for (QStringView cell : rest.split(u'|')) cells.append(trimmed(cell).toString());
  return cells;
}

bool isRule(QStringView trimmedLine) {
  if (trimmedLine.size() <= 2) return false;
  const auto allOf = [trimmedLine](QChar mark) {
    for (QChar c : trimmedLine) {
      if (c != mark && c != u' ') return false;
    }
    return true;
  };
  return allOf(u'-') || allOf(u'=');
}

}  // namespace MarkdownLines
