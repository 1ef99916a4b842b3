#include "theme/glowbackdrop.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

GlowBackdrop::GlowBackdrop(QWidget* target) : QWidget(target->parentWidget()), target_(target) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  target->installEventFilter(this);
  connect(target, &QObject::destroyed, this, &QObject::deleteLater);
  follow();
}

void GlowBackdrop::setGlow(const Glow& glow, const QPainterPath& shape, qreal alpha) {
  if (glow.color == glow_.color && glow.radius == glow_.radius && shape == shape_ && alpha == alpha_) return;
  glow_ = glow;
  shape_ = shape;
  alpha_ = alpha;
  cache_ = QImage();
  follow();
  update();
}

bool GlowBackdrop::eventFilter(QObject* watched, QEvent* event) {
  if (watched == target_) {
    switch (event->type()) {
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::Hide:
      case QEvent::ParentChange:
      case QEvent::ZOrderChange:
        follow();
        break;
      default:
        break;
    }
  }
  return false;
}

void GlowBackdrop::follow() {
  if (!target_) return;
  QWidget* parent = target_->parentWidget();
  if (!parent) {
    hide();
    return;
  }
  if (parentWidget() != parent) setParent(parent);
  const int margin = int(std::ceil(glow_.reach()));
  setGeometry(target_->geometry().adjusted(-margin, -margin, margin, margin));
  stackUnder(target_);
  setVisible(target_->isVisibleTo(parent) && glow_.isVisible());
}

void GlowBackdrop::paintEvent(QPaintEvent*) {
  if (!target_ || shape_.isEmpty()) return;
  QPainter painter(this);
  const qreal scale = devicePixelRatioF();
  if (cache_.isNull() || cacheScale_ != scale || cache_.size() != size() * scale) {
    QImage coverage(size() * scale, QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    QPainter offscreen(&coverage);
    offscreen.setRenderHint(QPainter::Antialiasing);
    offscreen.scale(scale, scale);
    offscreen.translate(target_->geometry().topLeft() - geometry().topLeft());
    offscreen.fillPath(shape_, QColor::fromRgbF(0, 0, 0, float(alpha_)));
    offscreen.end();
    cache_ = glow_.glowOf(coverage, scale);
    cacheScale_ = scale;
  }
  painter.drawImage(QRectF(rect()), cache_);
}
