#pragma once

#include "overlays/recordingindicator.h"
#include "theme/easedvalue.h"

#include <QList>
#include <QPixmap>
#include <QRgba64>
#include <QTimer>
#include <QWidget>

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
// step over 200 ms, and the icon, the colours, the status row and the part
// below it cross-fade over 300 ms when processing starts or ends and when the
// seconds left appear or go. Hidden, it jumps to the end of every change.
class RecordingOverlayView : public QWidget {
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
  const QVariantAnimation& barAnimation() const { return barEase_->animation(); }
  const QVariantAnimation& dotAnimation() const { return dotEase_->animation(); }
  const QVariantAnimation& lookAnimation() const { return lookEase_->animation(); }
  const QVariantAnimation& ringAnimation() const { return ringEase_->animation(); }
  int dotPhase() const { return dotPhase_; }
  OverlayCloseButton* closeButton() const { return closeButton_; }

  // The close button's action: the request flow cancels the recording, or the
  // processing, and hides the indicator itself.
  void postDismissNotification();

  // One tick of each timer (the sampling timer every 0.06 s, the dots every
  // 0.28 s, while the view is on screen).
  void sampleLevel();
  void advanceDots();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void paintStatusRow(QPainter& painter, const QRectF& rect, const RecordingIndicator& indicator,
                      const QColor& accent) const;
  void paintBelow(QPainter& painter, const RecordingIndicator& look) const;
  void followLook();
  QColor shownAccent() const;
  qreal shownBorderWidth() const;
  void paintBorder(QPainter& painter, const OverlayCard& card);

  struct BorderKey {
    QRgba64 accent;
    qreal width = 0;
    qreal ratio = 0;
    bool operator==(const BorderKey&) const = default;
  };

  AudioRecorder& recorder_;
  QList<float> waveformLevels_;
  QList<float> barsFrom_;  // the bars as drawn when the last sample came
  int dotPhase_ = 0;
  int dotFrom_ = 0;
  RecordingIndicator lookFrom_;  // the look the current change started from
  RecordingIndicator lookTo_;
  QColor accentFrom_;
  qreal borderFrom_ = 0;
  EasedValue* barEase_;
  EasedValue* dotEase_;
  EasedValue* lookEase_;
  EasedValue* ringEase_;
  QTimer timer_;
  QTimer dotTimer_;
  OverlayCloseButton* closeButton_;
  QPixmap borderCache_;
  BorderKey borderKey_;
};
