#pragma once

#include "pipeline/permissionstatus.h"

#include <functional>

// The states of the permission model and of the hotkey listener as the launch
// snapshot reports them. Both live in the pipeline, a layer above the
// diagnostics, so the program hands the log reporter a function that reads
// them (see LogReporter::setLaunchStatesSource). Only the enumeration's header
// is shared; the diagnostics do not link the pipeline.
struct LaunchStates {
  PermissionStatus microphone = PermissionStatus::notDetermined;
  PermissionStatus accessibility = PermissionStatus::notDetermined;
  bool hotKeyListening = false;
};

using LaunchStatesSource = std::function<LaunchStates()>;
