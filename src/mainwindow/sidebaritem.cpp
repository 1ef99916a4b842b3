#include "mainwindow/sidebaritem.h"

#include "theme/fonts.h"
#include "theme/glow.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr qreal kSpacing = 14;
constexpr qreal kBarWidth = 3;
constexpr qreal kBarHeight = 22;
constexpr qreal kIconFrame = 22;
constexpr qreal kIconSize = 16;
constexpr qreal kTrailingPadding = 16;
constexpr qreal kVerticalPadding = 12;

QFont labelFont() { return rajdhaniSemiBold(15); }

}  // namespace

SidebarItem::SidebarItem(const QString& icon, const QString& label, QWidget* parent)
    : QAbstractButton(parent), icon_(icon) {
  setText(label);
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SidebarItem::setLabel(const QString& label) {
  if (label == text()) return;
  setText(label);
  updateGeometry();
  update();
}

void SidebarItem::setSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  update();
}

QString SidebarItem::shownIcon() const { return selected_ ? SymbolImage::filledOrSelf(icon_) : icon_; }

QSize SidebarItem::sizeHint() const {
  const QFontMetricsF metrics(labelFont());
  const qreal content = std::max({kBarHeight, SymbolImage::boxSide(kIconSize), metrics.height()});
  const qreal width = 2 * outerPadding + kBarWidth + kSpacing + kIconFrame + kSpacing +
                      metrics.horizontalAdvance(text()) + kTrailingPadding;
  return QSize(int(std::ceil(width)), int(std::ceil(content + 2 * kVerticalPadding)));
}

void SidebarItem::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF row = QRectF(rect()).adjusted(outerPadding, 0, -outerPadding, 0);

  if (selected_) {
    QLinearGradient wash(row.topLeft(), row.topRight());
    wash.setColorAt(0, Palette::withOpacity(Palette::neonCyan, 0.12));
    wash.setColorAt(1, Palette::withOpacity(Palette::neonGreen, 0.05));
    QPainterPath background;
    background.addRoundedRect(row, 8, 8);
    painter.fillPath(background, wash);
  }

  const qreal middle = row.center().y();
  const QRectF bar(row.left(), middle - kBarHeight / 2, kBarWidth, kBarHeight);
  if (selected_) {
    const Glow glow{Palette::withOpacity(Palette::neonCyan, 0.6), 4};
    glow.paint(painter, bar, [&](QPainter& target) {
      QPainterPath shape;
      shape.addRoundedRect(bar, 2, 2);
      target.fillPath(shape, Palette::neonCyan);
    });
  }

  const QColor foreground = selected_ ? Palette::neonCyan : Palette::cyberTextSecondary;
  const qreal iconLeft = bar.right() + kSpacing;
  const qreal side = SymbolImage::boxSide(kIconSize);
  SymbolImage::paint(painter, QRectF(iconLeft + (kIconFrame - side) / 2, middle - side / 2, side, side), shownIcon(),
                     foreground);

  const qreal textLeft = iconLeft + kIconFrame + kSpacing;
  painter.setFont(labelFont());
  painter.setPen(foreground);
  const QRectF textRect(textLeft, row.top(), row.right() - kTrailingPadding - textLeft, row.height());
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetricsF(labelFont()).elidedText(text(), Qt::ElideRight, textRect.width()));
}
