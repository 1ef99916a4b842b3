#pragma once

#include <QString>

// The first `count` characters of `text` as a person counts them (grapheme
// clusters, see core/charactercount.h): an emoji with a skin tone or a letter
// with its accent is never cut in two. The whole text when it is shorter.
QString leadingCharacters(const QString& text, qsizetype count);
