#include "mainwindow/permissiongateheader.h"

#include "localization/appstrings.h"
#include "theme/fonts.h"
#include "theme/glow.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

QFont titleFont() { return orbitronFont(15, QFont::Bold); }
QFont subtitleFont() { return rajdhaniMedium(13); }
qreal shieldSide() { return SymbolImage::boxSide(28); }

}  // namespace

PermissionGateHeader::PermissionGateHeader(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void PermissionGateHeader::setAllGranted(bool allGranted) {
  allGranted_ = allGranted;
  update();
}

QString PermissionGateHeader::title() const {
  const AppStrings& strings = currentStrings();
  return allGranted_ ? strings.permFullyAuthorized : strings.permPartialAuth;
}

QString PermissionGateHeader::subtitle() const {
  const AppStrings& strings = currentStrings();
  return allGranted_ ? strings.permAllOk : strings.permSomeMissing;
}

QSize PermissionGateHeader::sizeHint() const {
  const qreal texts = QFontMetricsF(titleFont()).height() + 3 + QFontMetricsF(subtitleFont()).height();
  return QSize(520, int(std::ceil(std::max(shieldSide(), texts) + 2 * kPaddingV)));
}

void PermissionGateHeader::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);

  const QColor accent = allGranted_ ? Palette::neonGreen : Palette::neonOrange;
  const qreal side = shieldSide();
  const QRectF shield(kPaddingH, (height() - side) / 2, side, side);
  const Glow glow{Palette::withOpacity(accent, 0.5), 6};
  glow.paint(painter, shield, [&](QPainter& p) {
    SymbolImage::paint(p, shield, QStringLiteral("lock.shield.fill"), accent);
  });
  if (!allGranted_) {
    const qreal badge = SymbolImage::boxSide(12);
    SymbolImage::paint(painter, QRectF(shield.right() - badge * 0.55, shield.top() - badge * 0.35, badge, badge),
                       QStringLiteral("exclamationmark.circle.fill"), Palette::neonOrange);
  }

  const qreal left = shield.right() + kSpacing;
  const qreal width = std::max<qreal>(0, this->width() - left - kPaddingH);
  const qreal titleHeight = QFontMetricsF(titleFont()).height();
  const qreal subtitleHeight = QFontMetricsF(subtitleFont()).height();
  const qreal top = (height() - titleHeight - 3 - subtitleHeight) / 2;
  painter.setFont(titleFont());
  painter.setPen(Palette::cyberTextPrimary);
  painter.drawText(QRectF(left, top, width, titleHeight), Qt::AlignLeft | Qt::AlignVCenter, title());
  painter.setFont(subtitleFont());
  painter.setPen(Palette::cyberTextSecondary);
  painter.drawText(QRectF(left, top + titleHeight + 3, width, subtitleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   subtitle());
}
