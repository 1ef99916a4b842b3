#include "platform/linux/atspideadline.h"

#include <atspi/atspi.h>

#include <algorithm>

std::chrono::milliseconds AtspiDeadline::left() const {
  // libatspi counts in whole milliseconds: less than one is nothing left.
  return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(end_ - Clock::now()),
                  std::chrono::milliseconds(0));
}

bool AtspiDeadline::timeLeft() const {
  const std::chrono::milliseconds remaining = left();
  if (remaining.count() <= 0) return false;
  // libatspi waits for an answer that does not come up to twice the time it
  // is given (2.0 s measured for 1.0 s): it is given half of what is left.
  const int milliseconds = int(std::clamp<std::chrono::milliseconds::rep>(remaining.count() / 2, 1, 30'000));
  // The second figure is for applications that started moments ago, which
  // libatspi would otherwise allow fifteen seconds.
  atspi_set_timeout(milliseconds, milliseconds);
  return true;
}
