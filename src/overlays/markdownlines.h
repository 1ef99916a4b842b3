#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The line-level reading of the markdown that answers are written in.
//
// Whitespace here means the space separators (the space, the no-break space,
// the ideographic space, ...) and the tab; line ends are never whitespace, so a
// line that ends in a carriage return keeps it and is read as typed.
namespace MarkdownLines {

bool isWhitespace(QChar c);
// `text` with U+FFFD in place of every surrogate that is not half of a pair:
// text that is not valid UTF-16 (a JSON escape can carry one) renders like
// any other. Shares `text` when it is valid.
QString withoutLoneSurrogates(const QString& text);
// `line` without whitespace at either end.
QStringView trimmed(QStringView line);

// A row of pipes, hyphens, colons and spaces that holds at least one pipe
// ("|---|:--:|"): the line under a table's header.
bool isTableSeparatorRow(QStringView line);

// The cells of a table row: one leading and one trailing pipe are dropped,
// the rest is split on pipes and each cell trimmed ("| a || b |" -> a, "", b).
QStringList parseTableRow(QStringView line);

// More than two characters, all hyphens or spaces, or all equals signs or
// spaces ("---", "- -", "= = =").
bool isRule(QStringView trimmedLine);

}  // namespace MarkdownLines
