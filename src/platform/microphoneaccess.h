#pragma once

#include <QCoroTask>

// Whether this program may record the microphone. A Linux desktop asks no
// permission: access counts as authorized when an audio input device exists
// and can be opened, and requesting access checks again.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed access is denied.
class MicrophoneAccess {
 public:
  enum class Authorization { notDetermined, restricted, denied, authorized };

  virtual ~MicrophoneAccess() = default;

  // The state now, without asking the user anything.
  virtual Authorization authorizationStatus() = 0;

  // Asks for access (where the desktop would show a prompt) and answers
  // whether it is given.
  virtual QCoro::Task<bool> requestAccess() = 0;

  static MicrophoneAccess& current();
  // Installs `access` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(MicrophoneAccess* access);
};
