#pragma once

#include "openclaw/openclawstatus.h"

#include <QMap>
#include <QObject>
#include <QString>

// The bridge to a local OpenClaw agent. For now it only publishes the agent's
// status, which stays `unknown` until detection runs; the audio upload reads it
// with a plain read that triggers no check.
class OpenClawManager : public QObject {
  Q_OBJECT
  Q_PROPERTY(OpenClawStatus status READ status NOTIFY statusChanged)

 public:
  static OpenClawManager& shared();

  OpenClawStatus status() const { return status_; }

  // Seven facts about the local agent for the launch report, all texts:
  // "configExists", "binaryFound", "credentialExists" ("true" or "false"),
  // "binaryPath" (or "not_found"), "credentialMode" (or "missing"),
  // "gatewayURL" (absolute) and "status" ("unknown", "not_installed",
  // "service_down" or "installed"). Until detection runs they describe an
  // agent that has not been looked for.
  QMap<QString, QString> diagnostics() const;

 Q_SIGNALS:
  void statusChanged();

 private:
  OpenClawManager() = default;

  OpenClawStatus status_ = OpenClawStatus::unknown;
};
