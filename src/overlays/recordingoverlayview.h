#pragma once

#include "overlays/overlaycontentview.h"
#include "overlays/recordingindicator.h"
#include "theme/easedvalue.h"
#include "theme/picturecache.h"
#include "theme/rollingtext.h"

#include <QList>
#include <QTimer>

#include <functional>

class AudioRecorder;
class OverlayCloseButton;
struct OverlayCard;

// The recording indicator's face, 360 x 88: the level icon, the status
// ("recording", or "recognizing" with walking dots), the seconds left near the
// longest recording, an 18-bar waveform that scrolls from right to left, and a
// close button that asks the request flow to cancel.
//
// It follows the recorder it is given and the interface language. It is made
// once with its panel and kept, so the waveform and the dots go on from where
// they were at the next recording.
//
// Its changes ease in while it is on screen: each bar rises or falls to its
// new level over 70 ms, the ring swells with the level over 100 ms, the dots
// step over 200 ms, each second left rolls in over 300 ms, and the icon, the
// colours, the status row and the part below it cross-fade over 300 ms when
// processing starts or ends and when the seconds left appear or go. Hidden, it
// jumps to the end of every change.
//
// It animates for as long as the user speaks, so a frame must cost little:
// what stands still (the card, the labels, the border) is drawn once per look
// and copied, the ring and the bars are copied from pictures drawn once per
// size, and each change repaints only its own part of the view. Nothing is
// repainted while nothing moves.
class RecordingOverlayView : public OverlayContentView {
  Q_OBJECT

 public:
  static constexpr int kWidth = 360;
  static constexpr int kHeight = 88;
  static constexpr int kBarCount = 18;

  explicit RecordingOverlayView(AudioRecorder& recorder, QWidget* parent = nullptr);

  RecordingIndicator indicator() const;
  const QList<float>& waveformLevels() const { return waveformLevels_; }
  // The bars as drawn now (the levels, once their easing has ended).
  QList<float> shownLevels() const;
  // How far the current change of look (processing, seconds left) has come, 0 to 1.
  qreal lookProgress() const { return lookEase_->value().toReal(); }
  // The seconds left as drawn now: rolling from the last value to the new one.
  RollingText shownCountdown() const;
  const QVariantAnimation& barAnimation() const { return barEase_->animation(); }
  const QVariantAnimation& dotAnimation() const { return dotEase_->animation(); }
  const QVariantAnimation& lookAnimation() const { return lookEase_->animation(); }
  const QVariantAnimation& ringAnimation() const { return ringEase_->animation(); }
  const QVariantAnimation& countdownAnimation() const { return countdownEase_->animation(); }
  int dotPhase() const { return dotPhase_; }
  OverlayCloseButton* closeButton() const { return closeButton_; }

  // The parts of the view that move: the ring with its glow at its largest,
  // the waveform, the dots and the seconds left (with their glows).
  QRect ringArea() const;
  QRect waveformArea() const;
  QRect dotsArea() const;
  QRect countdownArea() const;

  // The close button's action: the request flow cancels the recording, or the
  // processing, and hides the indicator itself.
  void postDismissNotification();

  // One tick of each timer (the sampling timer every 0.06 s, the dots every
  // 0.28 s, while the view is on screen).
  void sampleLevel();
  void advanceDots();

  QPainterPath outline() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  using Paint = std::function<void(QPainter&)>;

  // The status row over the waveform (or the dots) of a look, centred in the main row.
  struct Column {
    QRectF status;
    QRectF below;
  };
  const Column& columnFor(const RecordingIndicator& look) const {
    return look.isProcessing() ? processingColumn_ : recordingColumn_;
  }

  void followLook();
  // Lays out the columns for the status font of the interface language.
  void layOut();
  QColor shownAccent() const;
  qreal shownBorderWidth() const;
  void paintRing(QPainter& painter, const QColor& accent, bool fading);
  // The symbol and the status row of the looks shown, the seconds left
  // included unless `withoutSeconds`.
  void paintLabels(QPainter& painter, const QColor& accent, bool withoutSeconds) const;
  // The status text and, with the seconds left, the dot and `seconds` (unless null).
  void paintStatusRow(QPainter& painter, const RecordingIndicator& look, const QColor& accent,
                      const RollingText* seconds) const;
  void paintSeconds(QPainter& painter, const RecordingIndicator& look, const RollingText& seconds) const;
  void paintBelow(QPainter& painter, const RecordingIndicator& look);
  QString labelsKey(const QColor& accent, bool withoutSeconds) const;

  AudioRecorder& recorder_;
  QList<float> waveformLevels_;
  QList<float> barsFrom_;  // the bars as drawn when the last sample came
  int dotPhase_ = 0;
  int dotFrom_ = 0;
  RecordingIndicator lookFrom_;  // the look the current change started from
  RecordingIndicator lookTo_;
  QColor accentFrom_;
  qreal borderFrom_ = 0;
  QString countdownFrom_;  // the seconds left rolling out
  Column recordingColumn_;
  Column processingColumn_;
  EasedValue* barEase_;
  EasedValue* dotEase_;
  EasedValue* lookEase_;
  EasedValue* ringEase_;
  EasedValue* countdownEase_;
  QTimer timer_;
  QTimer dotTimer_;
  OverlayCloseButton* closeButton_;
  // The card, the labels and the border of each look; the ring of each
  // accent at each size; the bars at each height; the pieces of the seconds
  // left as they roll.
  PictureCache<QString> layers_{1536 * 1024};
  PictureCache<std::pair<quint64, int>> rings_{2048 * 1024};
  PictureCache<quint64> bars_{1536 * 1024};
  mutable PictureCache<QString> rollingPieces_{256 * 1024};
};
