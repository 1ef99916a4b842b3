#include "platform/microphoneaccess.h"

#include <atomic>

namespace {

class NoMicrophone final : public MicrophoneAccess {
 public:
  Authorization authorizationStatus() override { return Authorization::denied; }
  QCoro::Task<bool> requestAccess() override { co_return false; }
};

std::atomic<MicrophoneAccess*> installed{nullptr};

}  // namespace

MicrophoneAccess& MicrophoneAccess::current() {
  static NoMicrophone none;
  MicrophoneAccess* access = installed.load();
  return access ? *access : none;
}

void MicrophoneAccess::install(MicrophoneAccess* access) { installed.store(access); }
