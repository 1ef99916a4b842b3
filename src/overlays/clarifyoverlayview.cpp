#include "overlays/clarifyoverlayview.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "overlays/glowpainting.h"
#include "overlays/overlaycard.h"
#include "overlays/wrappedtext.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace {

constexpr qreal kPaddingX = 18;
constexpr qreal kPaddingY = 14;
constexpr qreal kIconSide = 36;
constexpr qreal kSpacing = 14;
constexpr qreal kTrailingSpace = 8;
constexpr qreal kTextSpacing = 6;
constexpr qreal kMaxWidth = 360;

QFont titleFont() { return orbitronFont(13, QFont::Bold); }

WrappedText questionText(const QString& text) { return WrappedText{text, rajdhaniMedium(12), 4, 0}; }

const OverlayCard& card() {
  static const OverlayCard style{12,
                                 Palette::cyberPanelBg,
                                 {Palette::withOpacity(Palette::neonYellow, 0.8), Palette::withOpacity(Palette::neonYellow, 0.1),
                                  Palette::withOpacity(Palette::neonYellow, 0.5)},
                                 1.2,
                                 Glow{Palette::withOpacity(Palette::neonYellow, 0.3), 6},
                                 CornerBrackets{Palette::neonYellow, 10},
                                 3};
  return style;
}

}  // namespace

ClarifyOverlayView::ClarifyOverlayView(const QString& question, QWidget* parent)
    : OverlayContentView(parent), question_(question) {
  setAttribute(Qt::WA_TranslucentBackground);
  // The fallback text of an empty question may wrap otherwise in another language.
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, [this] {
    update();
    Q_EMIT outlineChanged();
  });
}

QString ClarifyOverlayView::shownText() const {
  return question_.isEmpty() ? currentStrings().overlayClarifyFallback : question_;
}

namespace {

qreal cardWidth(qreal viewWidth) { return std::min(viewWidth, kMaxWidth); }

qreal textWidth(qreal viewWidth) {
  return cardWidth(viewWidth) - 2 * kPaddingX - kIconSide - kSpacing - kTrailingSpace;
}

}  // namespace

qreal ClarifyOverlayView::cardHeight() const {
  const qreal titleHeight = QFontMetricsF(titleFont()).height();
  const qreal questionHeight = questionText(shownText()).size(textWidth(width())).height();
  return std::max(kIconSide, titleHeight + kTextSpacing + questionHeight) + 2 * kPaddingY;
}

QRectF ClarifyOverlayView::cardBounds() const {
  const qreal height = cardHeight();
  return QRectF((width() - cardWidth(width())) / 2, (this->height() - height) / 2, cardWidth(width()), height);
}

QPainterPath ClarifyOverlayView::outline() const { return card().shape(cardBounds()); }

void ClarifyOverlayView::paintEvent(QPaintEvent*) {
  const QRectF bounds = cardBounds();

  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  card().paintBackground(painter, bounds);

  const QRectF row = bounds.adjusted(kPaddingX, kPaddingY, -kPaddingX, -kPaddingY);
  const QRectF icon(row.left(), row.center().y() - kIconSide / 2, kIconSide, kIconSide);
  GlowPainting::ring(painter, icon, kIconSide, 1.5, Palette::withOpacity(Palette::neonYellow, 0.4),
                     Glow{Palette::withOpacity(Palette::neonYellow, 0.4), 6});
  GlowPainting::symbol(painter, icon, QStringLiteral("questionmark"), 16, Palette::neonYellow,
                       Glow{Palette::withOpacity(Palette::neonYellow, 0.6), 4});

  const qreal left = icon.right() + kSpacing;
  const qreal columnWidth = textWidth(width());
  const qreal titleHeight = QFontMetricsF(titleFont()).height();
  const WrappedText question = questionText(shownText());
  const qreal questionHeight = question.size(columnWidth).height();
  const qreal top = row.center().y() - (titleHeight + kTextSpacing + questionHeight) / 2;
  GlowPainting::text(painter, QRectF(left, top, columnWidth, titleHeight), currentStrings().overlayClarifyTitle,
                     titleFont(), Palette::neonYellow, Glow{Palette::withOpacity(Palette::neonYellow, 0.6), 4});
  question.paint(painter, QRectF(left, top + titleHeight + kTextSpacing, columnWidth, questionHeight),
                 Palette::cyberTextSecondary);

  card().paintBorder(painter, bounds);
}
