#include "theme/glowbackdrop.h"

#include <QEvent>
#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

namespace {

// One shared image per look; a program shows a handful of looks. Kept to the
// end of the process (never destroyed after the application object).
QHash<QString, QImage>& slicedGlows() {
  static auto* images = new QHash<QString, QImage>;
  return *images;
}

}  // namespace

GlowBackdrop::GlowBackdrop(QWidget* target) : QWidget(target->parentWidget()), target_(target) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  target->installEventFilter(this);
  connect(target, &QObject::destroyed, this, &QObject::deleteLater);
  follow();
}

void GlowBackdrop::setGlow(const Glow& glow, const QRectF& rect, qreal cornerRadius, qreal alpha) {
  const QSizeF size = target_ ? QSizeF(target_->size()) : QSizeF();
  const QMarginsF insets(rect.left(), rect.top(), size.width() - rect.right(), size.height() - rect.bottom());
  const bool sameLook = glow.color == glow_.color && glow.radius == glow_.radius && insets == insets_ &&
                        cornerRadius == cornerRadius_ && alpha == alpha_;
  if (!sameLook) {
    glow_ = glow;
    insets_ = insets;
    cornerRadius_ = cornerRadius;
    alpha_ = alpha;
    update();
  }
  cache_ = QImage();
  follow();
}

bool GlowBackdrop::eventFilter(QObject* watched, QEvent* event) {
  if (watched == target_) {
    switch (event->type()) {
      case QEvent::Move:
        // Cards below a new one in a long list all move: a move changes
        // nothing but the position.
        if (parentWidget() == target_->parentWidget()) {
          const int m = margin();
          move(target_->pos() - QPoint(m, m));
          break;
        }
        follow();
        break;
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

int GlowBackdrop::margin() const { return int(std::ceil(glow_.reach())); }

void GlowBackdrop::follow() {
  if (!target_) return;
  QWidget* parent = target_->parentWidget();
  if (!parent) {
    hide();
    return;
  }
  if (parentWidget() != parent) setParent(parent);
  const int m = margin();
  setGeometry(target_->geometry().adjusted(-m, -m, m, m));
  stackUnder(target_);
  setVisible(target_->isVisibleTo(parent) && glow_.isVisible());
}

QImage GlowBackdrop::glowImage(const QSize& pixels, qreal scale) const {
  const int m = margin();
  const QSizeF size = QSizeF(pixels) / scale;
  const QRectF rect = QRectF(QPointF(m, m), size - QSizeF(2 * m, 2 * m)).marginsRemoved(insets_);
  QPainterPath shape;
  shape.addRoundedRect(rect, cornerRadius_, cornerRadius_);
  QImage coverage(pixels, QImage::Format_ARGB32_Premultiplied);
  coverage.fill(Qt::transparent);
  QPainter offscreen(&coverage);
  offscreen.setRenderHint(QPainter::Antialiasing);
  offscreen.scale(scale, scale);
  offscreen.fillPath(shape, QColor::fromRgbF(0, 0, 0, float(alpha_)));
  offscreen.end();
  return glow_.glowOf(coverage, scale);
}

void GlowBackdrop::paintEvent(QPaintEvent*) {
  if (!target_ || !glow_.isVisible()) return;
  QPainter painter(this);
  const qreal scale = devicePixelRatioF();

  // Past the corners and the blur's reach, every row of the glow between the
  // top and bottom slices is the same, and so is every column: a backdrop with
  // room for a middle draws the shared corners and edges and stretches the
  // middle line between them. The slices are cut in the device's pixels, a
  // whole number of them each, so that they meet without a seam or a shift.
  const qreal inset = std::max({insets_.left(), insets_.top(), insets_.right(), insets_.bottom(), 0.0});
  const int slice = margin() + int(std::ceil(inset + cornerRadius_ + glow_.reach())) + 1;
  const int corner = int(std::ceil(slice * scale));
  const QSize pixels = (QSizeF(size()) * scale).toSize();
  if (pixels.width() > 2 * corner && pixels.height() > 2 * corner) {
    const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                            .arg(glow_.color.rgba64().toArgb32())
                            .arg(glow_.radius)
                            .arg(cornerRadius_)
                            .arg(alpha_)
                            .arg(scale)
                            .arg(insets_.left())
                            .arg(insets_.top())
                            .arg(insets_.right())
                            .arg(insets_.bottom());
    QImage& slices = slicedGlows()[key];
    if (slices.isNull()) slices = glowImage(QSize(2 * corner + 1, 2 * corner + 1), scale);
    // Where the slices meet, in the image's pixels and in the backdrop's coordinates.
    const qreal from[4] = {0, qreal(corner), qreal(corner + 1), qreal(2 * corner + 1)};
    const auto cuts = [&](int length, int lengthInPixels) {
      return std::array<qreal, 4>{0, corner / scale, (lengthInPixels - corner) / scale, qreal(length)};
    };
    const std::array<qreal, 4> across = cuts(width(), pixels.width());
    const std::array<qreal, 4> down = cuts(height(), pixels.height());
    for (int row = 0; row < 3; ++row) {
      for (int column = 0; column < 3; ++column) {
        const QRectF target(QPointF(across[column], down[row]), QPointF(across[column + 1], down[row + 1]));
        painter.drawImage(target, slices, QRectF(QPointF(from[column], from[row]), QPointF(from[column + 1], from[row + 1])));
      }
    }
    return;
  }

  if (cache_.isNull() || cacheScale_ != scale || cache_.size() != pixels) {
    cache_ = glowImage(pixels, scale);
    cacheScale_ = scale;
  }
  painter.drawImage(QRectF(rect()), cache_);
}
