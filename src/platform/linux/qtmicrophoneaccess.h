#pragma once

#include "platform/microphoneaccess.h"

// Microphone access through Qt Multimedia: authorized when the default audio
// input exists and opens (the sound server would refuse a muted-by-policy or
// missing device right there), denied otherwise. Nothing ever prompts, so
// requesting access is the same check made afresh.
class QtMicrophoneAccess final : public MicrophoneAccess {
 public:
  Authorization authorizationStatus() override;
  QCoro::Task<bool> requestAccess() override;
};
