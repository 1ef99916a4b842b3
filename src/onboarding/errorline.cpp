#include "onboarding/errorline.h"

#include "theme/fonts.h"
#include "theme/gloweffect.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {
constexpr qreal kSymbolSize = 13;
}

ErrorLine::ErrorLine(QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(8);

  auto* symbol = new QLabel(this);
  symbol->setPixmap(SymbolImage::pixmap(QStringLiteral("exclamationmark.triangle.fill"), kSymbolSize,
                                        Palette::neonRed, devicePixelRatioF()));
  symbol->setAlignment(Qt::AlignTop);
  row->addWidget(symbol, 0, Qt::AlignVCenter);

  text_ = new QLabel(this);
  text_->setObjectName(QStringLiteral("errorText"));
  text_->setFont(rajdhaniMedium(13));
  text_->setWordWrap(true);
  text_->setTextFormat(Qt::PlainText);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QPalette colours = text_->palette();
  colours.setColor(QPalette::WindowText, Palette::neonRed);
  text_->setPalette(colours);
  row->addWidget(text_, 1, Qt::AlignVCenter);

  setGraphicsEffect(new GlowEffect(Glow{Palette::withOpacity(Palette::neonRed, 0.3), 3}, this));
}

void ErrorLine::setMessage(const QString& message) { text_->setText(message); }

QString ErrorLine::message() const { return text_->text(); }
