#include "onboarding/icontile.h"

#include "onboarding/roundedplate.h"
#include "theme/gloweffect.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QPainter>

#include <cmath>

namespace {
constexpr qreal kBadgeSize = 10;
constexpr qreal kBadgeOffset = 3;
}  // namespace

IconTile::IconTile(const QString& symbol, const QColor& accent, Look look, bool withBadge, QWidget* parent)
    : QWidget(parent), symbol_(symbol), accent_(accent), look_(look), withBadge_(withBadge) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // The glow spills past the widget, as the tile's shadow does.
  setGraphicsEffect(new GlowEffect(Glow{Palette::withOpacity(accent_, 0.3), 3}, this));
}

void IconTile::setBadge(std::optional<Badge> badge) {
  badge_ = std::move(badge);
  update();
}

qreal IconTile::overhang() const { return withBadge_ ? kBadgeOffset : 0; }

QSize IconTile::sizeHint() const {
  const int side = int(std::ceil(look_.side + overhang()));
  return QSize(side, side);
}

void IconTile::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF tile(0, 0, look_.side, look_.side);
  paintRoundedPlate(painter, tile, look_.cornerRadius, Palette::withOpacity(accent_, look_.fillOpacity),
                    Palette::withOpacity(accent_, 0.3), 0.8);
  const qreal side = SymbolImage::boxSide(look_.symbolSize);
  SymbolImage::paint(painter, QRectF(tile.center().x() - side / 2, tile.center().y() - side / 2, side, side), symbol_,
                     accent_);

  if (!badge_) return;
  const qreal badgeSide = SymbolImage::boxSide(kBadgeSize);
  const QRectF box(tile.right() + kBadgeOffset - badgeSide, tile.bottom() + kBadgeOffset - badgeSide, badgeSide,
                   badgeSide);
  // The symbol's mark is cut out of its disc: a white disc behind it shows
  // the mark white over the badge colour.
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawEllipse(box.center(), badgeSide * 0.36, badgeSide * 0.36);
  SymbolImage::paint(painter, box, badge_->symbol, badge_->color);
}
