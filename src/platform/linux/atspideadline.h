#pragma once

#include <chrono>

// When the calls of one step on the accessibility bus must have ended.
// libatspi has a single time-out, applied afresh to every call it makes: a
// step of several calls bounded that way waits once per call for an
// application that stopped answering. So a step keeps its end, and gives
// each call what is left of it.
class AtspiDeadline {
 public:
  using Clock = std::chrono::steady_clock;

  explicit AtspiDeadline(Clock::time_point end) : end_(end) {}
  static AtspiDeadline after(std::chrono::milliseconds time) { return AtspiDeadline(Clock::now() + time); }

  // Whether time is left; if so, libatspi's next calls are given what is left.
  bool timeLeft() const;
  // What is left, at least nothing.
  std::chrono::milliseconds left() const;
  Clock::time_point end() const { return end_; }

 private:
  Clock::time_point end_;
};
