#include "overlays/tipoverlayview.h"

#include "overlays/glowpainting.h"
#include "overlays/overlaycard.h"
#include "overlays/overlayclosebutton.h"
#include "overlays/wrappedtext.h"
#include "theme/fonts.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QPainter>

namespace {

// The message row: 14 in from the left, 14 + 20 from the right (room for the
// close button), the symbol, 10, the message, then at least 4 left free.
constexpr qreal kLeft = 14;
constexpr qreal kRight = 14 + 20;
constexpr qreal kSpacing = 10;
constexpr qreal kTrailingSpace = 4;
constexpr qreal kSymbolSize = 15;

WrappedText messageText(const QString& message) { return WrappedText{message, rajdhaniMedium(13), 2, 0}; }

qreal messageWidth() {
  return TipOverlayView::kWidth - kLeft - kRight - SymbolImage::boxSide(kSymbolSize) - kSpacing - kTrailingSpace;
}

const OverlayCard& card() {
  static const OverlayCard style{10,
                                 Palette::cyberPanelBg,
                                 {Palette::withOpacity(Palette::neonCyan, 0.6), Palette::withOpacity(Palette::neonCyan, 0.15)},
                                 1.0,
                                 Glow{Palette::withOpacity(Palette::neonCyan, 0.2), 5},
                                 std::nullopt,
                                 0};
  return style;
}

}  // namespace

TipOverlayView::TipOverlayView(const QString& message, QWidget* parent)
    : OverlayContentView(parent), message_(message) {
  setAttribute(Qt::WA_TranslucentBackground);
  closeButton_ = new OverlayCloseButton({9, Palette::cyberTextSecondary, SymbolImage::boxSide(9), Qt::transparent}, this);
  closeButton_->move(kWidth - 7 - closeButton_->width(), 6);
  connect(closeButton_, &QAbstractButton::clicked, this, &TipOverlayView::closeRequested);
}

QStringList TipOverlayView::shownLines() const { return messageText(message_).lines(messageWidth()); }

QPainterPath TipOverlayView::outline() const { return card().shape(QRectF(0, 0, kWidth, kHeight)); }

void TipOverlayView::paintEvent(QPaintEvent*) {
  const QRectF bounds(0, 0, kWidth, kHeight);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  card().paintBackground(painter, bounds);

  const qreal symbolSide = SymbolImage::boxSide(kSymbolSize);
  const QRectF symbol(kLeft, (kHeight - symbolSide) / 2, symbolSide, symbolSide);
  GlowPainting::symbol(painter, symbol, QStringLiteral("info.circle.fill"), kSymbolSize, Palette::neonCyan,
                       Glow{Palette::withOpacity(Palette::neonCyan, 0.5), 4});

  const WrappedText text = messageText(message_);
  const qreal height = text.size(messageWidth()).height();
  text.paint(painter, QRectF(symbol.right() + kSpacing, (kHeight - height) / 2, messageWidth(), height),
             Palette::cyberTextPrimary);

  card().paintBorder(painter, bounds);
}
