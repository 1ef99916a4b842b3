#include "onboarding/languagepicker.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "onboarding/languagepopover.h"
#include "theme/fonts.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {
constexpr qreal kPaddingX = 14;
constexpr qreal kPaddingY = 7;
constexpr qreal kSpacing = 6;
constexpr qreal kGlobeSize = 13;
constexpr qreal kChevronSize = 9;
constexpr qreal kCornerRadius = 6;

QFont nameFont() { return rajdhaniSemiBold(12); }
QString currentName() { return displayName(LanguageManager::shared().current()); }
}  // namespace

LanguagePicker::LanguagePicker(QWidget* parent) : QAbstractButton(parent) {
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(this, &QAbstractButton::clicked, this, &LanguagePicker::togglePopover);
  describe();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, [this] {
    describe();
    updateGeometry();
    update();
  });
}

void LanguagePicker::describe() {
  // What it shows is painted: a screen reader hears the language's name and
  // what the button chooses.
  setAccessibleName(currentName());
  setAccessibleDescription(currentStrings().languageLabel);
}

bool LanguagePicker::isPopoverShown() const { return popover_ && popover_->isVisible(); }

void LanguagePicker::togglePopover() {
  if (isPopoverShown()) {
    popover_->close();
    return;
  }
  if (!popover_) {
    popover_ = new LanguagePopover(this);
    connect(popover_, &LanguagePopover::chosen, this, &LanguagePicker::choose);
  }
  popover_->popUp(QRect(mapToGlobal(QPoint(0, 0)), size()));
}

void LanguagePicker::choose(AppLanguage language) {
  LanguageManager::shared().setCurrent(language);
  if (popover_) popover_->close();
}

QSize LanguagePicker::sizeHint() const {
  const QFontMetricsF metrics(nameFont());
  const qreal globe = SymbolImage::boxSide(kGlobeSize);
  const qreal chevron = SymbolImage::boxSide(kChevronSize);
  const qreal width = kPaddingX + globe + kSpacing + metrics.horizontalAdvance(currentName()) + kSpacing + chevron +
                      kPaddingX;
  const qreal height = std::max({globe, chevron, metrics.height()}) + 2 * kPaddingY;
  return QSize(int(std::ceil(width)), int(std::ceil(height)));
}

void LanguagePicker::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath shape;
  const QRectF frame = QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4);
  shape.addRoundedRect(frame, kCornerRadius, kCornerRadius);
  painter.fillPath(shape, Palette::withOpacity(Palette::neonCyan, 0.06));
  painter.setPen(QPen(Palette::withOpacity(Palette::neonCyan, 0.2), 0.8));
  painter.drawPath(shape);

  const QColor ink = isDown() ? Palette::withOpacity(Palette::cyberTextSecondary, 0.5) : Palette::cyberTextSecondary;
  const qreal middle = rect().center().y() + 0.5;
  qreal x = kPaddingX;
  const qreal globe = SymbolImage::boxSide(kGlobeSize);
  SymbolImage::paint(painter, QRectF(x, middle - globe / 2, globe, globe), QStringLiteral("globe"), ink);
  x += globe + kSpacing;

  const QFontMetricsF metrics(nameFont());
  const QString name = currentName();
  const qreal nameWidth = metrics.horizontalAdvance(name);
  painter.setFont(nameFont());
  painter.setPen(ink);
  painter.drawText(QRectF(x, middle - metrics.height() / 2, nameWidth, metrics.height()), Qt::AlignCenter, name);
  x += nameWidth + kSpacing;

  const qreal chevron = SymbolImage::boxSide(kChevronSize);
  SymbolImage::paint(painter, QRectF(x, middle - chevron / 2, chevron, chevron),
                     QStringLiteral("chevron.up.chevron.down"), ink);
}
