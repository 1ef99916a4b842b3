#include "platform/synthetickeyboard.h"

#include "core/installed.h"

namespace {

class NoSyntheticKeyboard final : public SyntheticKeyboard {
 public:
  bool typeChord(const KeyChord&) override { return false; }
};

using InstalledSyntheticKeyboard = Installed<SyntheticKeyboard, NoSyntheticKeyboard>;

}  // namespace

SyntheticKeyboard& SyntheticKeyboard::current() { return InstalledSyntheticKeyboard::current(); }

void SyntheticKeyboard::install(SyntheticKeyboard* keyboard) { InstalledSyntheticKeyboard::install(keyboard); }
