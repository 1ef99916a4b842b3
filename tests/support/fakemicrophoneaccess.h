#pragma once

#include "platform/microphoneaccess.h"

// Microphone access as the test says; installed for its lifetime. A request
// answers `grantOnRequest` and counts itself.
class FakeMicrophoneAccess final : public MicrophoneAccess {
 public:
  explicit FakeMicrophoneAccess(Authorization status = Authorization::notDetermined) : status(status) {
    MicrophoneAccess::install(this);
  }
  ~FakeMicrophoneAccess() override { MicrophoneAccess::install(nullptr); }

  Authorization authorizationStatus() override { return status; }
  QCoro::Task<bool> requestAccess() override {
    ++requests;
    co_return grantOnRequest;
  }

  Authorization status;
  bool grantOnRequest = true;
  int requests = 0;
};
