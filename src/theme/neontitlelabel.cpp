#include "theme/neontitlelabel.h"

#include "theme/gloweffect.h"

#include <QPainter>

NeonTitleLabel::NeonTitleLabel(const QString& text, const QList<QColor>& colors, qreal size, QWidget* parent)
    : QLabel(text, parent), colors_(colors), size_(size) {
  setFont(style().font());
  glow_ = new GlowEffect(style().glow(), this);
  setGraphicsEffect(glow_);
}

NeonTitle NeonTitleLabel::style() const { return NeonTitle{text(), colors_, size_}; }

void NeonTitleLabel::setColors(const QList<QColor>& colors) {
  colors_ = colors;
  glow_->setGlow(style().glow());
  update();
}

void NeonTitleLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int flags = int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
  style().paintBody(painter, contentsRect(), flags);
}
