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
  const int milliseconds = int(std::min<std::chrono::milliseconds::rep>(remaining.count(), 60'000));
  // The second figure is for applications that started moments ago, which
  // libatspi would otherwise allow fifteen seconds.
  atspi_set_timeout(milliseconds, milliseconds);
  return true;
}
