#pragma once

#include <QString>

// The number of characters a person sees in `text` (grapheme clusters): an
// emoji with a skin tone or a letter with a combining accent counts once.
qsizetype characterCount(const QString& text);
