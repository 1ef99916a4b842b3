#include "theme/rollinglabel.h"

#include "theme/easedvalue.h"
#include "theme/rollingtext.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

RollingLabel::RollingLabel(QWidget* parent)
    : QLabel(parent), progress_(new EasedValue(1.0, 300, QEasingCurve::InOutQuad, this)) {
  // While rolling the label holds the wider of the two texts; then it fits the new one again.
  connect(progress_, &EasedValue::changed, this, [this](const QVariant& progress) {
    if (progress.toReal() >= 1) setMinimumWidth(0);
  });
}

void RollingLabel::showText(const QString& text, bool roll) {
  if (text == this->text()) return;
  from_ = this->text();
  setText(text);
  if (!roll) {
    progress_->jumpTo(1.0);
    return;
  }
  const QFontMetricsF metrics(font());
  const int margins = contentsMargins().left() + contentsMargins().right();
  setMinimumWidth(qCeil(std::max(metrics.horizontalAdvance(from_), metrics.horizontalAdvance(text))) + margins);
  progress_->jumpTo(0.0);
  progress_->setTarget(1.0);
}

bool RollingLabel::isRolling() const { return RollingText{from_, text(), progress_->value().toReal()}.isRolling(); }

void RollingLabel::paintEvent(QPaintEvent* event) {
  const RollingText rolling{from_, text(), progress_->value().toReal()};
  if (!rolling.isRolling()) return QLabel::paintEvent(event);
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(palette().color(foregroundRole()));
  const QFontMetricsF metrics(font());
  const QRectF box(contentsRect());
  // A label set to the right keeps what the texts end with in place.
  const qreal left = alignment().testFlag(Qt::AlignRight) ? box.right() - rolling.width(metrics) : box.left();
  rolling.paint(painter, QRectF(left, box.center().y() - metrics.height() / 2, box.width(), metrics.height()),
                metrics, [](QPainter& target, const QRectF& rect, const QString& piece) {
                  target.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, piece);
                });
}
