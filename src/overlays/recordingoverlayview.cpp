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
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

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
constexpr qreal kCornerRadius = 12;
// The ring's largest scale (at full level) and its glow.
constexpr qreal kLargestRing = 1.3;
constexpr qreal kRingGlow = 8;
// Ring sizes a picture each: apart by a sixth of a point of its radius.
constexpr qreal kRingSteps = 128;

QFont statusFont() { return orbitronFont(15, QFont::Bold); }

OverlayCard cardFor(const QColor& accent, qreal borderWidth) {
  OverlayCard card;
  card.cornerRadius = kCornerRadius;
  card.fill = Palette::withOpacity(Palette::cyberBgDeep, 0.92);
  card.borderColors = {Palette::withOpacity(accent, 0.9), Palette::withOpacity(accent, 0.1),
                       Palette::withOpacity(accent, 0.6)};
  card.borderWidth = borderWidth;
  card.borderGlow = Glow{Palette::withOpacity(accent, 0.4), kRingGlow};
  card.brackets = CornerBrackets{accent, 12};
  return card;
}

QRectF iconRect() {
  const qreal rowHeight = RecordingOverlayView::kHeight - 2 * kRowTop;
  return QRectF(kRowLeft, kRowTop + (rowHeight - kIconSide) / 2, kIconSide, kIconSide);
}

// `rect` with room for a glow of `radius` around it, in whole pixels.
QRect withGlow(const QRectF& rect, qreal radius) {
  const qreal reach = Glow{Qt::white, radius}.reach() + 1;
  return rect.adjusted(-reach, -reach, reach, reach).toAlignedRect();
}

// Two looks differ (and cross-fade) when processing or the seconds left come or go.
bool sameLook(const RecordingIndicator& a, const RecordingIndicator& b) {
  return a.isProcessing() == b.isProcessing() && a.isCountdownActive() == b.isCountdownActive();
}

// Starts an easing of progress from 0 to 1 (or jumps to 1 while hidden).
void restart(EasedValue& progress) { progress.easeFrom(0.0, 1.0); }

QString colorKey(const QColor& color) { return QString::number(color.rgba64(), 16); }

}  // namespace

RecordingOverlayView::RecordingOverlayView(AudioRecorder& recorder, QWidget* parent)
    : OverlayContentView(parent),
      recorder_(recorder),
      waveformLevels_(kBarCount, 0.05f),
      barsFrom_(waveformLevels_),
      barEase_(new EasedValue(1.0, 70, QEasingCurve::OutQuad, this)),
      dotEase_(new EasedValue(1.0, 200, QEasingCurve::InOutQuad, this)),
      lookEase_(new EasedValue(1.0, 300, QEasingCurve::InOutQuad, this)),
      ringEase_(new EasedValue(1.0, 100, QEasingCurve::OutQuad, this)),
      countdownEase_(new EasedValue(1.0, 300, QEasingCurve::InOutQuad, this)) {
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
  layOut();
  const auto follow = [this] { followLook(); };
  connect(&recorder_, &AudioRecorder::stateChanged, this, follow);
  connect(&recorder_, &AudioRecorder::audioLevelChanged, this, follow);
  connect(&recorder_, &AudioRecorder::countdownChanged, this, follow);
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, [this] {
    layOut();  // the status font may be another
    layers_.clear();
    rollingPieces_.clear();
    update();
  });
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

QPainterPath RecordingOverlayView::outline() const { return cardFor(Qt::white, 1).shape(rect()); }

QRect RecordingOverlayView::ringArea() const {
  const QRectF icon = iconRect();
  const qreal reach = (kIconSide / 2 + Glow{Qt::white, kRingGlow}.reach()) * kLargestRing + 1;
  return QRectF(icon.center().x() - reach, icon.center().y() - reach, 2 * reach, 2 * reach).toAlignedRect();
}

QRect RecordingOverlayView::waveformArea() const { return withGlow(recordingColumn_.below, 2); }

QRect RecordingOverlayView::dotsArea() const { return withGlow(processingColumn_.below, 2); }

QRect RecordingOverlayView::countdownArea() const {
  // The seconds travel up and down by half a line as they roll.
  const QRectF row = recordingColumn_.status;
  return withGlow(row.adjusted(0, -row.height() * RollingText::travel, 0, row.height() * RollingText::travel), 3);
}

void RecordingOverlayView::layOut() {
  const qreal rowHeight = kHeight - 2 * kRowTop;
  const qreal left = kRowLeft + kIconSide + kRowSpacing;
  const qreal width = kWidth - kRowLeft - kTrailingSpace - left;
  const qreal statusHeight = QFontMetricsF(statusFont()).height();
  for (const bool processing : {false, true}) {
    const qreal belowHeight = processing ? DotsLoadingView::height : kWaveformHeight;
    const qreal top = kRowTop + (rowHeight - statusHeight - kColumnSpacing - belowHeight) / 2;
    (processing ? processingColumn_ : recordingColumn_) =
        Column{QRectF(left, top, width, statusHeight), QRectF(left, top + statusHeight + kColumnSpacing, width, belowHeight)};
  }
  barEase_->setRepaintArea(waveformArea());
  dotEase_->setRepaintArea(dotsArea());
  ringEase_->setRepaintArea(ringArea());
  countdownEase_->setRepaintArea(countdownArea());
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

RollingText RecordingOverlayView::shownCountdown() const {
  return RollingText{countdownFrom_, lookTo_.countdownText(), countdownEase_->value().toReal()};
}

void RecordingOverlayView::sampleLevel() {
  if (recorder_.state() == RecordingState::processing) return;
  // Every bar moves on from where it is drawn now, even mid-way.
  barsFrom_ = shownLevels();
  waveformLevels_.removeFirst();
  waveformLevels_.append(recorder_.audioLevel());
  // A steady level scrolls into bars that stay as they are: nothing to redraw.
  if (waveformLevels_ == barsFrom_) return;
  restart(*barEase_);
}

void RecordingOverlayView::advanceDots() {
  dotFrom_ = dotPhase_;
  dotPhase_ = (dotPhase_ + 1) % 6;
  if (recorder_.state() == RecordingState::processing) {
    restart(*dotEase_);
  } else if (dotEase_->value().toReal() != 1.0) {
    dotEase_->jumpTo(1.0);  // the dots are not shown: no step to ease
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
    countdownEase_->finish();
    restart(*lookEase_);
  } else if (now.countdownText() != lookTo_.countdownText()) {
    // Another second left: the old number rolls out as the new one rolls in.
    countdownFrom_ = lookTo_.countdownText();
    restart(*countdownEase_);
  }
  lookTo_ = now;
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
  for (EasedValue* easing : {barEase_, dotEase_, lookEase_, ringEase_, countdownEase_}) easing->finish();
  QWidget::hideEvent(event);
}

void RecordingOverlayView::paintEvent(QPaintEvent* event) {
  const QRegion& dirty = event->region();
  // While the look changes every frame differs: it is drawn as it is. Else
  // what stands still is copied from pictures of this look.
  const bool fading = lookProgress() < 1;
  const QColor accent = shownAccent();
  const OverlayCard card = cardFor(accent, shownBorderWidth());
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const auto layer = [&](const QString& key, const QRect& area, const Paint& paint) {
    if (fading) {
      paint(painter);
    } else {
      // The key names the look, the area where the layout puts it.
      const QString place = QStringLiteral(" %1,%2 %3x%4").arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height());
      layers_.draw(painter, key + place, area, paint);
    }
  };

  layer(QStringLiteral("card"), rect(), [&](QPainter& target) { card.paintBackground(target, rect()); });
  if (dirty.intersects(ringArea())) paintRing(painter, accent, fading);
  const bool rolling = shownCountdown().isRolling();
  // The icon and the status row with their glows (the looks fading out are drawn straight away).
  const QRect labels = iconRect().united(columnFor(lookTo_).status).adjusted(-10, -10, 10, 10).toAlignedRect() & rect();
  layer(labelsKey(accent, rolling), labels, [&](QPainter& target) { paintLabels(target, accent, rolling); });
  if (rolling) paintSeconds(painter, lookTo_, shownCountdown());

  // The waveform or the dots; while the look changes, the old one fades out under the new one.
  const RecordingIndicator& now = lookTo_;
  const bool belowChanges = fading && lookFrom_.isProcessing() != now.isProcessing();
  if (dirty.intersects(now.isProcessing() ? dotsArea() : waveformArea()) || belowChanges) {
    if (belowChanges) {
      painter.setOpacity(1 - lookProgress());
      paintBelow(painter, lookFrom_);
    }
    painter.setOpacity(belowChanges ? lookProgress() : 1);
    paintBelow(painter, now);
    painter.setOpacity(1);
  }

  layer(QStringLiteral("border %1 %2").arg(colorKey(accent)).arg(qRound(card.borderWidth * 100)), rect(),
        [&](QPainter& target) { card.paintBorder(target, rect()); });
}

QString RecordingOverlayView::labelsKey(const QColor& accent, bool withoutSeconds) const {
  return QStringLiteral("labels %1 %2 %3 %4")
      .arg(colorKey(accent), lookTo_.symbolName(), lookTo_.statusText(currentStrings()),
           withoutSeconds ? QString() : lookTo_.countdownText());
}

void RecordingOverlayView::paintRing(QPainter& painter, const QColor& accent, bool fading) {
  const QRectF icon = iconRect();
  const auto ring = [&](QPainter& target, qreal scale) {
    target.save();
    target.translate(icon.center());
    target.scale(scale, scale);
    target.translate(-icon.center());
    GlowPainting::ring(target, icon, kIconSide, 1.5, Palette::withOpacity(accent, 0.4),
                       Glow{Palette::withOpacity(accent, 0.5), kRingGlow});
    target.restore();
  };
  const qreal scale = ringEase_->value().toReal();
  if (fading) return ring(painter, scale);
  const int step = qRound(scale * kRingSteps);
  rings_.draw(painter, {accent.rgba64(), step}, ringArea(), [&](QPainter& target) { ring(target, step / kRingSteps); });
}

void RecordingOverlayView::paintLabels(QPainter& painter, const QColor& accent, bool withoutSeconds) const {
  // The icon's symbol, then the status column; the old look fading out under the new one.
  const RecordingIndicator& now = lookTo_;
  const qreal progress = lookProgress();
  const bool fading = progress < 1;
  const QRectF icon = iconRect();
  const bool symbolChanges = fading && lookFrom_.symbolName() != now.symbolName();
  const auto paintSymbol = [&](const RecordingIndicator& look, qreal opacity) {
    painter.setOpacity(opacity);
    GlowPainting::symbol(painter, icon, look.symbolName(), 18, accent, Glow{Palette::withOpacity(accent, 0.6), 5});
  };
  if (symbolChanges) paintSymbol(lookFrom_, 1 - progress);
  paintSymbol(now, symbolChanges ? progress : 1);

  if (fading) {
    painter.setOpacity(1 - progress);
    const RollingText secondsBefore{QString(), lookFrom_.countdownText()};
    paintStatusRow(painter, lookFrom_, accent, &secondsBefore);
  }
  painter.setOpacity(fading ? progress : 1);
  const RollingText seconds = shownCountdown();
  paintStatusRow(painter, now, accent, withoutSeconds ? nullptr : &seconds);
  painter.setOpacity(1);
}

void RecordingOverlayView::paintStatusRow(QPainter& painter, const RecordingIndicator& look, const QColor& accent,
                                          const RollingText* seconds) const {
  const QRectF row = columnFor(look).status;
  const QFont font = statusFont();
  const QString status = look.statusText(currentStrings());
  const qreal statusWidth = QFontMetricsF(font).horizontalAdvance(status);
  GlowPainting::text(painter, QRectF(row.left(), row.top(), statusWidth, row.height()), status, font, accent,
                     Glow{Palette::withOpacity(accent, 0.6), 4});
  if (!look.isCountdownActive()) return;

  const QString dot = QStringLiteral("·");
  const QFont dotFont = rajdhaniSemiBold(15);
  const qreal dotLeft = row.left() + statusWidth + kStatusSpacing;
  painter.save();
  painter.setFont(dotFont);
  painter.setPen(Palette::withOpacity(Palette::neonRed, 0.6));
  painter.drawText(QRectF(dotLeft, row.top(), QFontMetricsF(dotFont).horizontalAdvance(dot), row.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, dot);
  painter.restore();
  if (seconds) paintSeconds(painter, look, *seconds);
}

void RecordingOverlayView::paintSeconds(QPainter& painter, const RecordingIndicator& look,
                                        const RollingText& seconds) const {
  const QRectF row = columnFor(look).status;
  const QFont font = statusFont();
  const qreal statusWidth = QFontMetricsF(font).horizontalAdvance(look.statusText(currentStrings()));
  const QString dot = QStringLiteral("·");
  const qreal left =
      row.left() + statusWidth + kStatusSpacing + QFontMetricsF(rajdhaniSemiBold(15)).horizontalAdvance(dot) +
      kStatusSpacing;
  const Glow glow{Palette::withOpacity(Palette::neonRed, 0.5), 3};
  const auto drawPiece = [&](QPainter& target, const QRectF& rect, const QString& piece) {
    if (!seconds.isRolling()) return GlowPainting::text(target, rect, piece, font, Palette::neonRed, glow);
    // A moving piece may stand on whole pixels: then one picture serves every frame.
    const QRectF snapped(rect.topLeft().toPoint(), rect.size());
    const qreal reach = glow.reach() + 1;
    rollingPieces_.draw(target, piece, snapped.adjusted(-reach, -reach, reach, reach).toAlignedRect(),
                        [&](QPainter& picture) { GlowPainting::text(picture, snapped, piece, font, Palette::neonRed, glow); });
  };
  seconds.paint(painter, QRectF(left, row.top(), row.right() - left, row.height()), QFontMetricsF(font), drawPiece);
}

void RecordingOverlayView::paintBelow(QPainter& painter, const RecordingIndicator& look) {
  const QRectF below = columnFor(look).below;
  if (look.isProcessing()) {
    DotsLoadingView dots{dotPhase_, 6};
    dots.fromPhase = dotFrom_;
    dots.progress = dotEase_->value().toReal();
    dots.paint(painter, below);
  } else {
    CyberWaveformView{shownLevels(), kBarCount}.paint(painter, below, bars_);
  }
}
