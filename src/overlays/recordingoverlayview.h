#pragma once

#include "overlays/recordingindicator.h"

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
class RecordingOverlayView : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 360;
  static constexpr int kHeight = 88;
  static constexpr int kBarCount = 18;

  explicit RecordingOverlayView(AudioRecorder& recorder, QWidget* parent = nullptr);

  RecordingIndicator indicator() const;
  const QList<float>& waveformLevels() const { return waveformLevels_; }
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
  void paintStatusRow(QPainter& painter, const QRectF& rect, const RecordingIndicator& indicator) const;
  void paintBorder(QPainter& painter, const OverlayCard& card, const RecordingIndicator& indicator);

  struct BorderKey {
    QRgba64 accent;
    qreal width = 0;
    qreal ratio = 0;
    bool operator==(const BorderKey&) const = default;
  };

  AudioRecorder& recorder_;
  QList<float> waveformLevels_;
  int dotPhase_ = 0;
  QTimer timer_;
  QTimer dotTimer_;
  OverlayCloseButton* closeButton_;
  QPixmap borderCache_;
  BorderKey borderKey_;
};
