#include "onboarding/languagepopover.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "onboarding/languagerow.h"
#include "theme/accessiblepopups.h"
#include "theme/palette.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

namespace {
constexpr int kPadding = 10;
constexpr int kSpacing = 4;
constexpr qreal kArrowWidth = 16;
constexpr qreal kCornerRadius = 8;
}  // namespace

LanguagePopover::LanguagePopover(QWidget* parent) : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint) {
  // The click that closes the popover must not also reach the button under
  // it, which would open it again at once.
  setAttribute(Qt::WA_NoMouseReplay);
  setFixedWidth(fixedWidth);
  AccessiblePopups::expose(this);

  auto* list = new QVBoxLayout(this);
  list->setContentsMargins(kPadding, kPadding + arrowHeight, kPadding, kPadding);
  list->setSpacing(kSpacing);
  for (const AppLanguage language : allAppLanguages()) {
    auto* row = new LanguageRow(language, this);
    connect(row, &LanguageRow::clicked, this, [this, language] { Q_EMIT chosen(language); });
    list->addWidget(row);
    rows_ << row;
  }
  markCurrent();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &LanguagePopover::markCurrent);
}

void LanguagePopover::markCurrent() {
  const AppLanguage current = LanguageManager::shared().current();
  for (LanguageRow* row : rows_) row->setCurrent(row->language() == current);
  setAccessibleName(currentStrings().languageLabel);
}

void LanguagePopover::popUp(const QRect& anchor) {
  adjustSize();
  const QScreen* screen = QGuiApplication::screenAt(anchor.center());
  const QRect room = screen ? screen->availableGeometry() : QRect();
  const bool fitsBelow = room.isNull() || anchor.bottom() + height() <= room.bottom();
  const bool fitsAbove = !room.isNull() && anchor.top() - height() >= room.top();
  arrowOnTop_ = fitsBelow || !fitsAbove;
  layout()->setContentsMargins(kPadding, kPadding + (arrowOnTop_ ? arrowHeight : 0), kPadding,
                               kPadding + (arrowOnTop_ ? 0 : arrowHeight));
  const int x = anchor.center().x() - fixedWidth / 2;
  move(x, arrowOnTop_ ? anchor.bottom() + 1 : anchor.top() - height());
  reshape();
  show();
}

QPainterPath LanguagePopover::outline() const {
  const QRectF body = QRectF(rect()).adjusted(0, arrowOnTop_ ? arrowHeight : 0, 0, arrowOnTop_ ? 0 : -arrowHeight);
  QPainterPath path;
  path.addRoundedRect(body, kCornerRadius, kCornerRadius);
  QPainterPath arrow;
  const qreal middle = body.center().x();
  const qreal base = arrowOnTop_ ? body.top() + 1 : body.bottom() - 1;
  arrow.moveTo(middle - kArrowWidth / 2, base);
  arrow.lineTo(middle, arrowOnTop_ ? 0 : height());
  arrow.lineTo(middle + kArrowWidth / 2, base);
  arrow.closeSubpath();
  return path.united(arrow);
}

void LanguagePopover::reshape() {
  // A window of its own without a compositor cannot be see-through: the
  // shape is cut out of it instead.
  setMask(QRegion(outline().toFillPolygon().toPolygon()));
  update();
}

void LanguagePopover::resizeEvent(QResizeEvent* event) {
  reshape();
  QWidget::resizeEvent(event);
}

void LanguagePopover::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // The panel colour over the deep background it would blend with.
  painter.fillRect(rect(), Palette::cyberBgDeep);
  const QPainterPath shape = outline();
  painter.fillPath(shape, Palette::cyberPanelBg);
  // Its edge against the window under it; half the pen falls outside the cut.
  painter.setPen(QPen(Palette::withOpacity(Palette::neonCyan, 0.2), 2));
  painter.drawPath(shape);
}

void LanguagePopover::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  Q_EMIT closed();
}
