#pragma once

#include "platform/synthetickeyboard.h"

#include <QList>

#include <functional>

// Records the chords typed; `onChord` plays the application that receives them.
class FakeSyntheticKeyboard final : public SyntheticKeyboard {
 public:
  FakeSyntheticKeyboard() { SyntheticKeyboard::install(this); }
  ~FakeSyntheticKeyboard() override { SyntheticKeyboard::install(nullptr); }

  bool typeChord(const KeyChord& chord) override {
    chords.append(chord);
    if (onChord) onChord(chord);
    return works;
  }

  QList<KeyChord> chords;
  std::function<void(const KeyChord&)> onChord;
  bool works = true;
};
