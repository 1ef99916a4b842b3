#include "overlays/overlayclosebutton.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "theme/symbolimage.h"

#include <QPainter>
#include <QtMath>

OverlayCloseButton::OverlayCloseButton(const Style& style, QWidget* parent) : QAbstractButton(parent), style_(style) {
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
  setFixedSize(sizeHint());
  // A cross only: a screen reader hears it as "Close" in the interface language.
  const auto name = [this] { setAccessibleName(currentStrings().agreementClose); };
  name();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, name);
}

QSize OverlayCloseButton::sizeHint() const { return QSize(qCeil(style_.side), qCeil(style_.side)); }

void OverlayCloseButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF box(0, 0, style_.side, style_.side);
  if (style_.disc.alpha() > 0) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(style_.disc);
    painter.drawEllipse(box);
  }
  const qreal side = SymbolImage::boxSide(style_.symbolSize);
  const QRectF symbol(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
  SymbolImage::paint(painter, symbol, QStringLiteral("xmark"), isDown() ? style_.color.darker(130) : style_.color);
}
