#include "overlays/markdownformats.h"

#include "theme/palette.h"

#include <QFontDatabase>

namespace MarkdownFormats {

namespace {
constexpr qreal kBaseSize = 13;
}

QFont systemFont(qreal size, bool bold) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPixelSize(qRound(size));
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  return font;
}

QFont monospacedFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  return font;
}

QTextCharFormat base() {
  QTextCharFormat format;
  format.setFont(systemFont(kBaseSize));
  format.setForeground(Palette::cyberTextPrimary);
  return format;
}

qreal fontSize(const QTextCharFormat& format) {
  return format.hasProperty(QTextFormat::FontPixelSize) ? format.intProperty(QTextFormat::FontPixelSize) : kBaseSize;
}

}  // namespace MarkdownFormats
