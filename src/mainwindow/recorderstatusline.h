#pragma once

#include "pipeline/recordingstate.h"

#include <QWidget>

// The recorder's state at the foot of the sidebar: a dot and a word. While
// recording the dot is red, glowing, inside a red ring, and the word glows
// red; otherwise the dot is dim and the word muted, whether processing or
// idle: only the word tells them apart. Nothing moves.
//
// The widget keeps `leadingRoom` clear before the dot for the ring, which
// reaches past the dot's own square.
class RecorderStatusLine : public QWidget {
  Q_OBJECT

 public:
  explicit RecorderStatusLine(QWidget* parent = nullptr);

  RecordingState state() const { return state_; }
  void setState(RecordingState state);

  // The word shown for `state`, in the current interface language.
  static QString text(RecordingState state);

  QSize sizeHint() const override;

  static constexpr int leadingRoom = 8;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  RecordingState state_ = RecordingState::idle;
};
