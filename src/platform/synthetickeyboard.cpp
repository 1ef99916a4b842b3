#include "platform/synthetickeyboard.h"

#include <atomic>

namespace {

class NoSyntheticKeyboard final : public SyntheticKeyboard {
 public:
  bool typeChord(const KeyChord&) override { return false; }
};

std::atomic<SyntheticKeyboard*> installed{nullptr};

}  // namespace

SyntheticKeyboard& SyntheticKeyboard::current() {
  static NoSyntheticKeyboard none;
  SyntheticKeyboard* keyboard = installed.load();
  return keyboard ? *keyboard : none;
}

void SyntheticKeyboard::install(SyntheticKeyboard* keyboard) { installed.store(keyboard); }
