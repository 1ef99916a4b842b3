#include "platform/x11/x11interceptedkeys.h"

#include <array>
#include <cstddef>
#include <mutex>

namespace {

// More hotkey presses than anyone makes over one selection; past them the
// oldest press counts as one that reached the program in front, which only
// ends an old selection.
constexpr std::size_t kKept = 256;

struct Press {
  int keycode = 0;  // 0 in a slot never filled: X keycodes start at 8
  unsigned long time = 0;
};

struct Kept {
  std::mutex mutex;
  std::array<Press, kKept> presses{};
  std::size_t next = 0;
};

Kept& kept() {
  static Kept instance;
  return instance;
}

}  // namespace

void X11InterceptedKeys::note(int keycode, unsigned long time) {
  Kept& all = kept();
  std::lock_guard lock(all.mutex);
  all.presses[all.next] = {keycode, time};
  all.next = (all.next + 1) % kKept;
}

bool X11InterceptedKeys::contains(int keycode, unsigned long time) {
  Kept& all = kept();
  std::lock_guard lock(all.mutex);
  for (const Press& press : all.presses) {
    if (press.keycode == keycode && press.time == time) return true;
  }
  return false;
}
