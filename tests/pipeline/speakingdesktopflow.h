#pragma once

// The request flow on the test desktop (DesktopFlow) with the user speaking:
// the microphone plays a tone for every recording, and every chord the
// program types is noted on its way to the keyboard.

#include "desktopflow.h"
#include "fakesynthetickeyboard.h"
#include "testmicrophone.h"

class SpeakingDesktopFlow : public DesktopFlow {
 protected:
  void SetUp() override {
    DesktopFlow::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    noted.onChord = [this](const KeyChord& chord) { keyboard.typeChord(chord); };
    SyntheticKeyboard::install(&noted);
    ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, std::chrono::milliseconds(1000), 0.5), true));
  }
  void TearDown() override {
    microphone.stop();
    DesktopFlow::TearDown();
  }

  FakeSyntheticKeyboard noted;
  TestMicrophone microphone;
};
