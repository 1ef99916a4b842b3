#include "mainwindow/permrow.h"

#include "mainwindow/plainbutton.h"
#include "theme/fonts.h"
#include "theme/glow.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

PermRow::PermRow(const QString& icon, const QColor& iconColor, std::function<void()> onAuth,
                 std::function<void()> onRevoke, QWidget* parent)
    : QWidget(parent),
      icon_(icon),
      iconColor_(iconColor),
      authButton_(new NeonButton(QString(), iconColor, this)),
      manageButton_(new PlainButton(QString(), rajdhaniMedium(12), Palette::cyberTextSecondary, this)) {
  // Placed by hand rather than by a layout: a layout would answer for the
  // row's height and ignore the wrapped description.
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  connect(authButton_, &QAbstractButton::clicked, this, [onAuth = std::move(onAuth)] { onAuth(); });
  connect(manageButton_, &QAbstractButton::clicked, this, [onRevoke = std::move(onRevoke)] { onRevoke(); });
  manageButton_->hide();
}

void PermRow::setContent(const QString& title, const QString& description, PermissionStatus status) {
  title_ = title;
  description_ = description;
  status_ = status;
  const bool granted = status == PermissionStatus::granted;
  authButton_->setVisible(!granted);
  manageButton_->setVisible(granted);
  placeButtons();
  updateGeometry();
  update();
}

QWidget* PermRow::visibleButton() const {
  return status_ == PermissionStatus::granted ? static_cast<QWidget*>(manageButton_)
                                             : static_cast<QWidget*>(authButton_);
}

qreal PermRow::textWidth(int width) const {
  return std::max<qreal>(0, width - textLeft() - kSpacing - visibleButton()->sizeHint().width() - kPaddingH);
}

qreal PermRow::descriptionHeight(qreal textWidth) const {
  const QFontMetricsF metrics(rajdhaniMedium(12));
  return metrics.boundingRect(QRectF(0, 0, textWidth, 1000), Qt::TextWordWrap, description_).height();
}

int PermRow::heightForWidth(int width) const {
  const qreal texts = QFontMetricsF(rajdhaniSemiBold(14)).height() + 2 + descriptionHeight(textWidth(width));
  const qreal button = visibleButton()->sizeHint().height();
  return int(std::ceil(std::max({kBoxSide, texts, button}) + 2 * kPaddingV));
}

QSize PermRow::sizeHint() const { return QSize(520, heightForWidth(520)); }

void PermRow::placeButtons() {
  for (QWidget* button : {static_cast<QWidget*>(authButton_), static_cast<QWidget*>(manageButton_)}) {
    const QSize size = button->sizeHint();
    button->setGeometry(int(width() - kPaddingH) - size.width(), (height() - size.height()) / 2, size.width(),
                        size.height());
  }
}

void PermRow::resizeEvent(QResizeEvent*) { placeButtons(); }

QRectF PermRow::iconBox() const { return QRectF(kPaddingH, (height() - kBoxSide) / 2, kBoxSide, kBoxSide); }

void PermRow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);

  // The symbol in its tinted box, glowing faintly.
  const QRectF box = iconBox();
  QPainterPath shape;
  shape.addRoundedRect(box.adjusted(0.4, 0.4, -0.4, -0.4), 8, 8);
  const Glow glow{Palette::withOpacity(iconColor_, 0.3), 4};
  glow.paint(painter, box, [&](QPainter& p) {
    p.fillPath(shape, Palette::withOpacity(iconColor_, 0.08));
    p.strokePath(shape, QPen(Palette::withOpacity(iconColor_, 0.3), 0.8));
  });
  const qreal symbolSide = SymbolImage::boxSide(15);
  SymbolImage::paint(painter, QRectF(box.center().x() - symbolSide / 2, box.center().y() - symbolSide / 2, symbolSide,
                                     symbolSide),
                     icon_, iconColor_);

  // The status mark sits on the box's bottom-trailing corner.
  const bool granted = status_ == PermissionStatus::granted;
  const qreal markSide = SymbolImage::boxSide(11);
  SymbolImage::paint(painter, QRectF(box.right() - markSide * 0.6, box.bottom() - markSide * 0.6, markSide, markSide),
                     granted ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("exclamationmark.circle.fill"),
                     granted ? Palette::neonGreen : Palette::neonOrange);

  // Title over the wrapped description, beside the box, up to the button.
  const qreal width = textWidth(this->width());
  const QFont titleFont = rajdhaniSemiBold(14);
  const QFont descriptionFont = rajdhaniMedium(12);
  const qreal titleHeight = QFontMetricsF(titleFont).height();
  const qreal wrappedHeight = descriptionHeight(width);
  const qreal top = (height() - titleHeight - 2 - wrappedHeight) / 2;
  painter.setFont(titleFont);
  painter.setPen(Palette::cyberTextPrimary);
  painter.drawText(QRectF(textLeft(), top, width, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetricsF(titleFont).elidedText(title_, Qt::ElideRight, width));
  painter.setFont(descriptionFont);
  painter.setPen(Palette::cyberTextSecondary);
  painter.drawText(QRectF(textLeft(), top + titleHeight + 2, width, wrappedHeight), Qt::AlignLeft | Qt::TextWordWrap,
                   description_);
}
