#pragma once

#include "platform/frontapplication.h"

// The front application as the test says; installed for its lifetime.
class FakeFrontApplication final : public FrontApplication {
 public:
  explicit FakeFrontApplication(std::optional<RunningApplication> app = std::nullopt) : app(std::move(app)) {
    FrontApplication::install(this);
  }
  ~FakeFrontApplication() override { FrontApplication::install(nullptr); }

  std::optional<RunningApplication> frontmost() override { return app; }

  static RunningApplication named(const QString& name, qint32 pid) {
    return RunningApplication{pid, name, name.toLower(), name};
  }

  std::optional<RunningApplication> app;
};
