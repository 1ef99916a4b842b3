#pragma once

#include <QFont>
#include <QTextCharFormat>

// The character formats of rendered markdown. Answers are set in the desktop's
// own interface font (not the theme's display faces), at sizes in logical
// pixels, in the theme's colours.
namespace MarkdownFormats {

// The interface font at `size`, bold or regular.
QFont systemFont(qreal size, bool bold = false);
// The fixed-pitch font at 12, regular: code spans.
QFont monospacedFont();

// Paragraphs and the line ends between blocks: the interface font at 13 in
// cyberTextPrimary.
QTextCharFormat base();

// The pixel size a format's font is set in; 13 when it names none.
qreal fontSize(const QTextCharFormat& format);

}  // namespace MarkdownFormats
