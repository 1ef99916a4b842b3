#pragma once

#include "openclaw/openclawstatus.h"

#include <QObject>

// The bridge to a local OpenClaw agent. For now it only publishes the agent's
// status, which stays `unknown` until detection runs; the audio upload reads it
// with a plain read that triggers no check.
class OpenClawManager : public QObject {
  Q_OBJECT
  Q_PROPERTY(OpenClawStatus status READ status NOTIFY statusChanged)

 public:
  static OpenClawManager& shared();

  OpenClawStatus status() const { return status_; }

 Q_SIGNALS:
  void statusChanged();

 private:
  OpenClawManager() = default;

  OpenClawStatus status_ = OpenClawStatus::unknown;
};
