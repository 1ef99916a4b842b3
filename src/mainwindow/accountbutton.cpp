#include "mainwindow/accountbutton.h"

#include "localization/appstrings.h"
#include "theme/fonts.h"
#include "theme/glow.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kSymbolSize = 22;
constexpr qreal kSpacing = 10;
constexpr qreal kLineSpacing = 3;
constexpr qreal kVerticalRoom = 6;

QFont emailFont() { return rajdhaniMedium(12); }
QFont tierFont() { return rajdhaniSemiBold(10); }

}  // namespace

AccountButton::AccountButton(QWidget* parent) : QAbstractButton(parent) {
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void AccountButton::setAccount(const std::optional<QString>& email, const QString& tier) {
  email_ = email;
  tier_ = tier;
  retranslate();
}

void AccountButton::retranslate() {
  // The two lines are painted: a screen reader hears them as the name, and
  // what the button opens as the description.
  const QString tier = shownTierLine();
  setAccessibleName(tier.isEmpty() ? shownEmailLine() : shownEmailLine() + QLatin1Char('\n') + tier);
  setAccessibleDescription(currentStrings().accountTitle);
  updateGeometry();
  update();
}

QString AccountButton::emailLine(const std::optional<QString>& email) {
  return email ? *email : currentStrings().notLoggedIn;
}

QString AccountButton::tierLine(const QString& tier) {
  return tier == QLatin1String("trial") ? currentStrings().tierTrial : tier.toUpper();
}

QSize AccountButton::sizeHint() const {
  const QFontMetricsF email(emailFont());
  const QFontMetricsF tier(tierFont());
  const qreal side = SymbolImage::boxSide(kSymbolSize);
  const qreal lines = std::max(email.horizontalAdvance(shownEmailLine()), tier.horizontalAdvance(shownTierLine()));
  const qreal height = std::max(side, email.height() + kLineSpacing + tier.height()) + 2 * kVerticalRoom;
  return QSize(int(std::ceil(leadingRoom + side + kSpacing + lines)), int(std::ceil(height)));
}

QSize AccountButton::minimumSizeHint() const {
  // Long addresses give way to the buttons beside it and are cut short.
  return QSize(int(leadingRoom + SymbolImage::boxSide(kSymbolSize) + kSpacing + 40), sizeHint().height());
}

void AccountButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal side = SymbolImage::boxSide(kSymbolSize);
  const qreal middle = height() / 2.0;
  const QRectF symbol(leadingRoom, middle - side / 2, side, side);
  Glow{Palette::withOpacity(Palette::neonCyan, 0.4), 4}.paint(painter, symbol, [&](QPainter& target) {
    SymbolImage::paint(target, symbol, QStringLiteral("person.circle.fill"),
                       Palette::withOpacity(Palette::neonCyan, 0.7));
  });

  const QFontMetricsF email(emailFont());
  const QFontMetricsF tier(tierFont());
  const qreal left = symbol.right() + kSpacing;
  const qreal width = std::max<qreal>(0, this->width() - left);
  const qreal top = middle - (email.height() + kLineSpacing + tier.height()) / 2;
  painter.setFont(emailFont());
  painter.setPen(Palette::cyberTextPrimary);
  painter.drawText(QRectF(left, top, width, email.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   email.elidedText(shownEmailLine(), Qt::ElideRight, width));
  painter.setFont(tierFont());
  painter.setPen(Palette::withOpacity(Palette::neonGreen, 0.6));
  painter.drawText(QRectF(left, top + email.height() + kLineSpacing, width, tier.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, tier.elidedText(shownTierLine(), Qt::ElideRight, width));
}
