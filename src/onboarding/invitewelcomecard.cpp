#include "onboarding/invitewelcomecard.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "theme/fonts.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

constexpr qreal kCornerRadius = 8;

QLabel* makeLabel(const QFont& font, const QColor& color, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFont(font);
  label->setTextFormat(Qt::PlainText);
  QPalette colours = label->palette();
  colours.setColor(QPalette::WindowText, color);
  label->setPalette(colours);
  return label;
}

}  // namespace

InviteWelcomeCard::InviteWelcomeCard(QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(18, 18, 18, 18);
  column->setSpacing(12);

  auto* headingRow = new QHBoxLayout;
  headingRow->setSpacing(10);
  auto* key = new QLabel(this);
  key->setPixmap(SymbolImage::pixmap(QStringLiteral("key.fill"), 14, Palette::neonCyan, devicePixelRatioF()));
  headingRow->addWidget(key);
  heading_ = makeLabel(orbitronFont(14, QFont::Bold), Palette::neonCyan, this);
  headingRow->addWidget(heading_, 1);
  column->addLayout(headingRow);

  body_ = makeLabel(rajdhaniMedium(13), Palette::cyberTextSecondary, this);
  body_->setTextFormat(Qt::RichText);
  body_->setWordWrap(true);
  column->addWidget(body_);

  note_ = makeLabel(rajdhaniSemiBold(12), Palette::withOpacity(Palette::neonYellow, 0.7), this);
  note_->setWordWrap(true);
  column->addWidget(note_);

  retranslate();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &InviteWelcomeCard::retranslate);
}

void InviteWelcomeCard::retranslate() {
  heading_->setText(currentStrings().inviteWelcomeHeading);
  // Shown as written (the markers of the text's emphasis stay visible), with
  // 4 pixels between its lines.
  body_->setText(QStringLiteral("<p style=\"-qt-line-height-type: line-distance; line-height: 4px;\">%1</p>")
                     .arg(currentStrings().inviteBodyLine1.toHtmlEscaped()));
  note_->setText(currentStrings().inviteBodyLine2);
}

void InviteWelcomeCard::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath shape;
  shape.addRoundedRect(QRectF(rect()).adjusted(0.4, 0.4, -0.4, -0.4), kCornerRadius, kCornerRadius);
  painter.fillPath(shape, Palette::withOpacity(Palette::neonCyan, 0.05));
  painter.setPen(QPen(Palette::withOpacity(Palette::neonCyan, 0.2), 0.8));
  painter.drawPath(shape);
}
