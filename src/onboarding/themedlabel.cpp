#include "onboarding/themedlabel.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPalette>

namespace ThemedLabel {

QLabel* make(const QFont& font, const QColor& color, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFont(font);
  label->setTextFormat(Qt::PlainText);
  setColor(label, color);
  return label;
}

void setColor(QLabel* label, const QColor& color) {
  QPalette colours = label->palette();
  colours.setColor(QPalette::WindowText, color);
  colours.setColor(QPalette::Text, color);
  label->setPalette(colours);
}

void setSpacedText(QLabel* label, const QString& text, qreal extraSpacing, Qt::Alignment alignment) {
  // Rich text is the one way a QLabel spaces its lines: a fixed line height
  // of the font's own line spacing plus the extra. The text itself is escaped,
  // so nothing in a translation is ever read as markup.
  const qreal lineHeight = QFontMetricsF(label->font()).lineSpacing() + extraSpacing;
  const char* align = (alignment & Qt::AlignHCenter) ? "center" : (alignment & Qt::AlignRight) ? "right" : "left";
  QString body = text.toHtmlEscaped();
  body.replace(QLatin1Char('\n'), QLatin1String("<br>"));
  label->setTextFormat(Qt::RichText);
  label->setWordWrap(true);
  label->setAlignment(alignment);
  label->setText(QStringLiteral("<div align=\"%1\" style=\"line-height:%2px\">%3</div>")
                     .arg(QLatin1String(align), QString::number(lineHeight, 'f', 1), body));
}

}  // namespace ThemedLabel
