#include "mainwindow/recorderstatusline.h"

#include "localization/appstrings.h"
#include "theme/fonts.h"
#include "theme/glow.h"
#include "theme/palette.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kDot = 9;
constexpr qreal kSpacing = 8;
constexpr qreal kRingWidth = 2.5;
constexpr qreal kRingScale = 1.6;
// Above and below the word, for its glow.
constexpr qreal kVerticalRoom = 4;

QFont textFont() { return rajdhaniSemiBold(13); }

}  // namespace

RecorderStatusLine::RecorderStatusLine(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void RecorderStatusLine::setState(RecordingState state) {
  state_ = state;
  update();
}

QString RecorderStatusLine::text(RecordingState state) {
  const AppStrings& strings = currentStrings();
  switch (state) {
    case RecordingState::recording:
      return strings.statusRec;
    case RecordingState::processing:
      return strings.statusProc;
    case RecordingState::idle:
      break;
  }
  return strings.statusIdle;
}

QSize RecorderStatusLine::sizeHint() const {
  const QFontMetricsF metrics(textFont());
  const qreal height = std::max(metrics.height(), kDot * kRingScale + kRingWidth * kRingScale) + 2 * kVerticalRoom;
  return QSize(int(std::ceil(leadingRoom + kDot + kSpacing + metrics.horizontalAdvance(text(state_)))),
               int(std::ceil(height)));
}

void RecorderStatusLine::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const bool recording = state_ == RecordingState::recording;
  const qreal middle = height() / 2.0;
  const QRectF dot(leadingRoom, middle - kDot / 2, kDot, kDot);

  if (recording) {
    const Glow glow{Palette::withOpacity(Palette::neonRed, 0.8), 4};
    glow.paint(painter, dot, [&](QPainter& target) {
      target.setPen(Qt::NoPen);
      target.setBrush(Palette::neonRed);
      target.drawEllipse(dot);
    });
    // The ring is the dot's outline scaled about its centre, stroke and all.
    const qreal ringSide = kDot * kRingScale;
    const QRectF ring(dot.center().x() - ringSide / 2, middle - ringSide / 2, ringSide, ringSide);
    painter.setPen(QPen(Palette::withOpacity(Palette::neonRed, 0.4), kRingWidth * kRingScale));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(ring);
  } else {
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::cyberTextTertiary);
    painter.drawEllipse(dot);
  }

  const QRectF textRect(dot.right() + kSpacing, 0, width() - dot.right() - kSpacing, height());
  const QString word = text(state_);
  const auto drawWord = [&](QPainter& target) {
    target.setFont(textFont());
    target.setPen(recording ? Palette::neonRed : Palette::cyberTextSecondary);
    target.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, word);
  };
  if (recording) {
    Glow{Palette::withOpacity(Palette::neonRed, 0.5), 3}.paint(painter, textRect, drawWord);
  } else {
    drawWord(painter);
  }
}
