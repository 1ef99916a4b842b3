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

OverlayCard cardFor(const QColor& accent, qreal borderWidth) {
  OverlayCard card;
  card.cornerRadius = 12;
  card.fill = Palette::withOpacity(Palette::cyberBgDeep, 0.92);
  card.borderColors = {Palette::withOpacity(accent, 0.9), Palette::withOpacity(accent, 0.1),
                       Palette::withOpacity(accent, 0.6)};
  card.borderWidth = borderWidth;
  card.borderGlow = Glow{Palette::withOpacity(accent, 0.4), 8};
  card.brackets = CornerBrackets{accent, 12};
  return card;
}

// The status column of a look: the status row over the waveform or the dots,
// centred in the row.
struct Column {
  QRectF status;
  QRectF below;
};

Column columnFor(const RecordingIndicator& indicator) {
  const qreal rowHeight = RecordingOverlayView::kHeight - 2 * kRowTop;
  const qreal left = kRowLeft + kIconSide + kRowSpacing;
  const qreal width = RecordingOverlayView::kWidth - kRowLeft - kTrailingSpace - left;
  const qreal statusHeight = QFontMetricsF(statusFont()).height();
  const qreal belowHeight = indicator.isProcessing() ? DotsLoadingView::height : kWaveformHeight;
  const qreal top = kRowTop + (rowHeight - statusHeight - kColumnSpacing - belowHeight) / 2;
  return {QRectF(left, top, width, statusHeight),
          QRectF(left, top + statusHeight + kColumnSpacing, width, belowHeight)};
}

// Two looks differ (and cross-fade) when processing or the seconds left come or go.
bool sameLook(const RecordingIndicator& a, const RecordingIndicator& b) {
  return a.isProcessing() == b.isProcessing() && a.isCountdownActive() == b.isCountdownActive();
}

// Starts an easing of progress from 0 to 1 (or jumps to 1 while hidden).
void restart(EasedValue& progress) {
  progress.jumpTo(0.0);
  progress.setTarget(1.0);
}

}  // namespace

RecordingOverlayView::RecordingOverlayView(AudioRecorder& recorder, QWidget* parent)
    : QWidget(parent),
      recorder_(recorder),
      waveformLevels_(kBarCount, 0.05f),
      barsFrom_(waveformLevels_),
      barEase_(new EasedValue(1.0, 70, QEasingCurve::OutQuad, this)),
      dotEase_(new EasedValue(1.0, 200, QEasingCurve::InOutQuad, this)),
      lookEase_(new EasedValue(1.0, 300, QEasingCurve::InOutQuad, this)),
      ringEase_(new EasedValue(1.0, 100, QEasingCurve::OutQuad, this)) {
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

  lookFrom_ = lookTo_ = indicator();
  accentFrom_ = lookTo_.accentColor();
  borderFrom_ = lookTo_.borderWidth();
  ringEase_->jumpTo(lookTo_.ringScale());
  const auto follow = [this] { followLook(); };
  connect(&recorder_, &AudioRecorder::stateChanged, this, follow);
  connect(&recorder_, &AudioRecorder::audioLevelChanged, this, follow);
  connect(&recorder_, &AudioRecorder::countdownChanged, this, follow);
  const auto redraw = [this] { update(); };
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

QList<float> RecordingOverlayView::shownLevels() const {
  const float progress = float(barEase_->value().toReal());
  QList<float> shown(waveformLevels_.size());
  for (qsizetype i = 0; i < shown.size(); ++i) {
    const float from = i < barsFrom_.size() ? barsFrom_[i] : 0.0f;
    shown[i] = from + (waveformLevels_[i] - from) * progress;
  }
  return shown;
}

void RecordingOverlayView::sampleLevel() {
  if (recorder_.state() == RecordingState::processing) return;
  // Every bar moves on from where it is drawn now, even mid-way.
  barsFrom_ = shownLevels();
  waveformLevels_.removeFirst();
  waveformLevels_.append(recorder_.audioLevel());
  restart(*barEase_);
  update();
}

void RecordingOverlayView::advanceDots() {
  dotFrom_ = dotPhase_;
  dotPhase_ = (dotPhase_ + 1) % 6;
  if (recorder_.state() == RecordingState::processing) {
    restart(*dotEase_);
  } else {
    dotEase_->jumpTo(1.0);
  }
}

void RecordingOverlayView::followLook() {
  const RecordingIndicator now = indicator();
  ringEase_->setTarget(now.ringScale());
  if (!sameLook(now, lookTo_)) {
    // The fading look is the one drawn when the change came (or the one
    // being reached, mid-way through an earlier change).
    lookFrom_ = lookEase_->value().toReal() < 0.5 ? lookFrom_ : lookTo_;
    accentFrom_ = shownAccent();
    borderFrom_ = shownBorderWidth();
    lookTo_ = now;
    restart(*lookEase_);
  }
  lookTo_ = now;
  update();
}

QColor RecordingOverlayView::shownAccent() const {
  return mixColors(accentFrom_, lookTo_.accentColor(), lookProgress());
}

qreal RecordingOverlayView::shownBorderWidth() const {
  return borderFrom_ + (lookTo_.borderWidth() - borderFrom_) * lookProgress();
}

void RecordingOverlayView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  timer_.start();
  dotTimer_.start();
}

void RecordingOverlayView::hideEvent(QHideEvent* event) {
  timer_.stop();
  dotTimer_.stop();
  // Shown again at the next recording, the view starts from where every
  // change ended, not from the middle of one.
  for (EasedValue* easing : {barEase_, dotEase_, lookEase_, ringEase_}) easing->finish();
  QWidget::hideEvent(event);
}

void RecordingOverlayView::paintEvent(QPaintEvent*) {
  const RecordingIndicator now = indicator();
  const qreal progress = lookProgress();
  const bool fading = progress < 1;
  const QColor accent = shownAccent();
  const OverlayCard card = cardFor(accent, shownBorderWidth());
  const QRectF bounds = rect();

  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  card.paintBackground(painter, bounds);

  // The level icon, centred in the row.
  const qreal rowHeight = kHeight - 2 * kRowTop;
  const QRectF icon(kRowLeft, kRowTop + (rowHeight - kIconSide) / 2, kIconSide, kIconSide);
  const qreal scale = ringEase_->value().toReal();
  painter.save();
  painter.translate(icon.center());
  painter.scale(scale, scale);
  painter.translate(-icon.center());
  GlowPainting::ring(painter, icon, kIconSide, 1.5, Palette::withOpacity(accent, 0.4),
                     Glow{Palette::withOpacity(accent, 0.5), 8});
  painter.restore();
  const auto paintSymbol = [&](const RecordingIndicator& look, qreal opacity) {
    painter.setOpacity(opacity);
    GlowPainting::symbol(painter, icon, look.symbolName(), 18, accent, Glow{Palette::withOpacity(accent, 0.6), 5});
  };
  if (fading && lookFrom_.symbolName() != now.symbolName()) paintSymbol(lookFrom_, 1 - progress);
  paintSymbol(now, fading && lookFrom_.symbolName() != now.symbolName() ? progress : 1);

  // The status column: the old look fading out under the new one fading in.
  if (fading) {
    painter.setOpacity(1 - progress);
    paintStatusRow(painter, columnFor(lookFrom_).status, lookFrom_, accent);
    if (lookFrom_.isProcessing() != now.isProcessing()) paintBelow(painter, lookFrom_);
  }
  painter.setOpacity(fading ? progress : 1);
  paintStatusRow(painter, columnFor(now).status, now, accent);
  if (fading && lookFrom_.isProcessing() == now.isProcessing()) painter.setOpacity(1);
  paintBelow(painter, now);
  painter.setOpacity(1);

  paintBorder(painter, card);
}

void RecordingOverlayView::paintBelow(QPainter& painter, const RecordingIndicator& look) const {
  const QRectF below = columnFor(look).below;
  if (look.isProcessing()) {
    DotsLoadingView dots{dotPhase_, 6};
    dots.fromPhase = dotFrom_;
    dots.progress = dotEase_->value().toReal();
    dots.paint(painter, below);
  } else {
    CyberWaveformView{shownLevels(), kBarCount}.paint(painter, below);
  }
}

void RecordingOverlayView::paintBorder(QPainter& painter, const OverlayCard& card) {
  // The glowing border is the costliest part of a frame and changes only with
  // the accent: it is drawn once per look and reused at every frame.
  const qreal ratio = devicePixelRatioF();
  const BorderKey key{card.brackets->color.rgba64(), card.borderWidth, ratio};
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

void RecordingOverlayView::paintStatusRow(QPainter& painter, const QRectF& rect, const RecordingIndicator& indicator,
                                          const QColor& accent) const {
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
