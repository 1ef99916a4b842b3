#pragma once

// The bridge's view of the local OpenClaw agent.
enum class OpenClawStatus {
  unknown,               // not checked yet
  notInstalled,
  installedServiceDown,  // the command-line tool is there, its gateway does not answer
  ready,
};
