#pragma once

#include <QStringView>
#include <QTextCharFormat>

class QTextCursor;

// Inserts one line of markdown at `cursor` with its inline markup rendered:
// links, **bold**, *italic* and `code`. `attributes` is the format of the
// surrounding block (a paragraph, a heading, a table cell, a list item); the
// markup is applied on top of it, except code, which has a format of its own.
//
// The markup kinds are tried in a fixed order over the rest of the line: a link
// anywhere wins over an earlier bold, italic or code span, and the text before
// the chosen match is inserted as typed. A link whose address is not a valid
// URL shows its label as plain text. The cost is about linear in the length
// of the line, whatever it holds.
void renderInline(QTextCursor& cursor, QStringView text, const QTextCharFormat& attributes);
