#include "platform/microphoneaccess.h"

#include "core/installed.h"

namespace {

class NoMicrophone final : public MicrophoneAccess {
 public:
  Authorization authorizationStatus() override { return Authorization::denied; }
  QCoro::Task<bool> requestAccess() override { co_return false; }
};

using InstalledAccess = Installed<MicrophoneAccess, NoMicrophone>;

}  // namespace

MicrophoneAccess& MicrophoneAccess::current() { return InstalledAccess::current(); }

void MicrophoneAccess::install(MicrophoneAccess* access) { InstalledAccess::install(access); }
