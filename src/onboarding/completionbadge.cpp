#include "onboarding/completionbadge.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "theme/fonts.h"
#include "theme/gloweffect.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr qreal kSymbolSize = 14;
constexpr qreal kSpacing = 8;
constexpr qreal kVerticalPadding = 6;
}  // namespace

CompletionBadge::CompletionBadge(bool isDone, QWidget* parent) : QWidget(parent), isDone_(isDone) {
  setFont(rajdhaniSemiBold(13));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  glow_ = new GlowEffect(Glow{}, this);
  setGraphicsEffect(glow_);
  restyle();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, [this] {
    updateGeometry();
    update();
  });
}

void CompletionBadge::setDone(bool isDone) {
  if (isDone == isDone_) return;
  isDone_ = isDone;
  restyle();
}

void CompletionBadge::restyle() {
  glow_->setGlow(Glow{Palette::withOpacity(color(), 0.35), 4});
  updateGeometry();
  update();
}

QString CompletionBadge::text() const {
  return isDone_ ? currentStrings().onboardingStepDone : currentStrings().onboardingStepWaiting;
}

QColor CompletionBadge::color() const { return isDone_ ? Palette::neonGreen : Palette::neonOrange; }

QString CompletionBadge::symbol() const {
  return isDone_ ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle.dashed");
}

QSize CompletionBadge::sizeHint() const {
  const QFontMetricsF metrics(font());
  const qreal side = SymbolImage::boxSide(kSymbolSize);
  const qreal width = side + kSpacing + metrics.horizontalAdvance(text());
  const qreal height = std::max(side, metrics.height()) + 2 * kVerticalPadding;
  return QSize(int(std::ceil(width)), int(std::ceil(height)));
}

void CompletionBadge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal side = SymbolImage::boxSide(kSymbolSize);
  const qreal middle = height() / 2.0;
  SymbolImage::paint(painter, QRectF(0, middle - side / 2, side, side), symbol(), color());
  painter.setFont(font());
  painter.setPen(color());
  painter.drawText(QRectF(side + kSpacing, 0, width() - side - kSpacing, height()), Qt::AlignLeft | Qt::AlignVCenter,
                   text());
}
