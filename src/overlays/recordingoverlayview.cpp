#include "overlays/recordingoverlayview.h"

#include "core/appevents.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "overlays/cyberwaveformview.h"
#include "overlays/dotsloadingview.h"
#include "overlays/glowpainting.h"
#include "overlays/overlaycard.h"
#include "overlays/overlayclosebutton.h"
#include "pipeline/audiorecorder.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

// The main row: 20 in from the sides, 16 from the top and bottom; the icon,
// then the status column 16 further on, then at least 22 left free.
constexpr qreal kRowLeft = 20;
constexpr qreal kRowTop = 16;
constexpr qreal kIconSide = 40;
constexpr qreal kRowSpacing = 16;
constexpr qreal kTrailingSpace = 22;
constexpr qreal kColumnSpacing = 7;
constexpr qreal kWaveformHeight = 28;
constexpr qreal kStatusSpacing = 6;

QFont statusFont() { return orbitronFont(15, QFont::Bold); }

OverlayCard cardFor(const RecordingIndicator& indicator) {
  const QColor accent = indicator.accentColor();
  OverlayCard card;
  card.cornerRadius = 12;
  card.fill = Palette::withOpacity(Palette::cyberBgDeep, 0.92);
  card.borderColors = {Palette::withOpacity(accent, 0.9), Palette::withOpacity(accent, 0.1),
                       Palette::withOpacity(accent, 0.6)};
  card.borderWidth = indicator.borderWidth();
  card.borderGlow = Glow{Palette::withOpacity(accent, 0.4), 8};
  card.brackets = CornerBrackets{accent, 12};
  return card;
}

}  // namespace

RecordingOverlayView::RecordingOverlayView(AudioRecorder& recorder, QWidget* parent)
    : QWidget(parent), recorder_(recorder), waveformLevels_(kBarCount, 0.05f) {
  setFixedSize(kWidth, kHeight);
  setAttribute(Qt::WA_TranslucentBackground);

  closeButton_ = new OverlayCloseButton(
      {11, Palette::cyberTextSecondary, 22, Palette::withOpacity(Palette::cyberTextSecondary, 0.15)}, this);
  closeButton_->move(kWidth - 6 - closeButton_->width(), 6);
  connect(closeButton_, &QAbstractButton::clicked, this, &RecordingOverlayView::postDismissNotification);

  timer_.setInterval(60);
  dotTimer_.setInterval(280);
  connect(&timer_, &QTimer::timeout, this, &RecordingOverlayView::sampleLevel);
  connect(&dotTimer_, &QTimer::timeout, this, &RecordingOverlayView::advanceDots);

  const auto redraw = [this] { update(); };
  connect(&recorder_, &AudioRecorder::stateChanged, this, redraw);
  connect(&recorder_, &AudioRecorder::audioLevelChanged, this, redraw);
  connect(&recorder_, &AudioRecorder::countdownChanged, this, redraw);
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, redraw);
}

RecordingIndicator RecordingOverlayView::indicator() const {
  return RecordingIndicator{recorder_.state(), recorder_.audioLevel(), recorder_.countdown()};
}

void RecordingOverlayView::postDismissNotification() {
  if (recorder_.state() == RecordingState::processing) {
    Q_EMIT AppEvents::shared().overlayDismissedDuringProcessing();
  } else {
    Q_EMIT AppEvents::shared().overlayDismissedDuringRecording();
  }
}

void RecordingOverlayView::sampleLevel() {
  if (recorder_.state() == RecordingState::processing) return;
  waveformLevels_.removeFirst();
  waveformLevels_.append(recorder_.audioLevel());
  update();
}

void RecordingOverlayView::advanceDots() {
  dotPhase_ = (dotPhase_ + 1) % 6;
  if (recorder_.state() == RecordingState::processing) update();
}

void RecordingOverlayView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  timer_.start();
  dotTimer_.start();
}

void RecordingOverlayView::hideEvent(QHideEvent* event) {
  timer_.stop();
  dotTimer_.stop();
  QWidget::hideEvent(event);
}

void RecordingOverlayView::paintEvent(QPaintEvent*) {
  const RecordingIndicator now = indicator();
  const QColor accent = now.accentColor();
  const OverlayCard card = cardFor(now);
  const QRectF bounds = rect();

  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  card.paintBackground(painter, bounds);

  // The level icon, centred in the row.
  const qreal rowHeight = kHeight - 2 * kRowTop;
  const QRectF icon(kRowLeft, kRowTop + (rowHeight - kIconSide) / 2, kIconSide, kIconSide);
  painter.save();
  painter.translate(icon.center());
  painter.scale(now.ringScale(), now.ringScale());
  painter.translate(-icon.center());
  GlowPainting::ring(painter, icon, kIconSide, 1.5, Palette::withOpacity(accent, 0.4),
                     Glow{Palette::withOpacity(accent, 0.5), 8});
  painter.restore();
  GlowPainting::symbol(painter, icon, now.symbolName(), 18, accent, Glow{Palette::withOpacity(accent, 0.6), 5});

  // The status column: the status row over the waveform or the dots.
  const qreal columnLeft = icon.right() + kRowSpacing;
  const qreal columnWidth = kWidth - kRowLeft - kTrailingSpace - columnLeft;
  const qreal statusHeight = QFontMetricsF(statusFont()).height();
  const qreal belowHeight = now.isProcessing() ? DotsLoadingView::height : kWaveformHeight;
  const qreal columnHeight = statusHeight + kColumnSpacing + belowHeight;
  const qreal columnTop = kRowTop + (rowHeight - columnHeight) / 2;
  paintStatusRow(painter, QRectF(columnLeft, columnTop, columnWidth, statusHeight), now);
  const QRectF below(columnLeft, columnTop + statusHeight + kColumnSpacing, columnWidth, belowHeight);
  if (now.isProcessing()) {
    DotsLoadingView{dotPhase_, 6}.paint(painter, below);
  } else {
    CyberWaveformView{waveformLevels_, kBarCount}.paint(painter, below);
  }

  paintBorder(painter, card, now);
}

void RecordingOverlayView::paintBorder(QPainter& painter, const OverlayCard& card, const RecordingIndicator& indicator) {
  // The glowing border is the costliest part of a frame and changes only with
  // the accent: it is drawn once per look and reused at every frame.
  const qreal ratio = devicePixelRatioF();
  const BorderKey key{indicator.accentColor().rgba64(), indicator.borderWidth(), ratio};
  if (!(key == borderKey_) || borderCache_.isNull()) {
    QPixmap layer(size() * ratio);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    QPainter layerPainter(&layer);
    card.paintBorder(layerPainter, rect());
    layerPainter.end();
    borderCache_ = layer;
    borderKey_ = key;
  }
  painter.drawPixmap(0, 0, borderCache_);
}

void RecordingOverlayView::paintStatusRow(QPainter& painter, const QRectF& rect,
                                          const RecordingIndicator& indicator) const {
  const QColor accent = indicator.accentColor();
  const QFont font = statusFont();
  const QString status = indicator.statusText(currentStrings());
  const qreal statusWidth = QFontMetricsF(font).horizontalAdvance(status);
  GlowPainting::text(painter, QRectF(rect.left(), rect.top(), statusWidth, rect.height()), status, font, accent,
                     Glow{Palette::withOpacity(accent, 0.6), 4});
  if (!indicator.isCountdownActive()) return;

  const QString dot = QStringLiteral("·");
  const QFont dotFont = rajdhaniSemiBold(15);
  const qreal dotLeft = rect.left() + statusWidth + kStatusSpacing;
  const qreal dotWidth = QFontMetricsF(dotFont).horizontalAdvance(dot);
  painter.save();
  painter.setFont(dotFont);
  painter.setPen(Palette::withOpacity(Palette::neonRed, 0.6));
  painter.drawText(QRectF(dotLeft, rect.top(), dotWidth, rect.height()), Qt::AlignLeft | Qt::AlignVCenter, dot);
  painter.restore();

  const QString seconds = indicator.countdownText();
  const qreal secondsLeft = dotLeft + dotWidth + kStatusSpacing;
  GlowPainting::text(painter, QRectF(secondsLeft, rect.top(), QFontMetricsF(font).horizontalAdvance(seconds),
                                     rect.height()),
                     seconds, font, Palette::neonRed, Glow{Palette::withOpacity(Palette::neonRed, 0.5), 3});
}
