#pragma once

#include <QDateTime>

#include <chrono>
#include <functional>

// Time as the program sees it. Production code reads the wall clock and
// schedules its delays through these functions, so that tests can move the
// clock and shrink long waits (a 30-second poll, a 2-second grace period)
// without sleeping.
namespace Clock {

// The current wall-clock time, in UTC.
QDateTime now();

// A delay or interval of the program, shrunk by the test time scale (1 in the
// program itself). Never below 0 ms.
std::chrono::milliseconds scaled(std::chrono::milliseconds duration);
int scaledMs(int milliseconds);

// Test hooks: replace the wall clock (an empty function restores it), and set
// the factor applied by scaled() (for example 0.01 runs 5 s in 50 ms).
void setNowForTesting(std::function<QDateTime()> now);
void setTimeScaleForTesting(double factor);

}  // namespace Clock
