#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// The two clocks of one recording: the countdown over its last ten seconds
// and the notice that the longest recording has been reached.
//
// start() reads the longest duration once, so a change during a recording
// applies from the next one. The countdown ticks 10, 9, ..., 1, one second
// apart, starting ten seconds before the end (at once when the recording is
// shorter than that); each tick is scheduled from the start, so they never
// drift. Delays go through Clock::scaled so tests can shrink them.
class RecordingTimers : public QObject {
  Q_OBJECT

 public:
  explicit RecordingTimers(QObject* parent = nullptr);

  void start(double maxDurationSeconds);
  // Nothing more is emitted until the next start().
  void cancel();

 Q_SIGNALS:
  void countdownTick(int secondsLeft);
  void maxDurationReached();

 private:
  void scheduleNextTick();

  QTimer maxDurationTimer_;
  QTimer countdownTimer_;
  QElapsedTimer started_;
  qint64 countdownStartMs_ = 0;
  int nextTick_ = 0;
};
