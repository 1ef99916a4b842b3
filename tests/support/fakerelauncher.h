#pragma once

#include "platform/relauncher.h"

#include <QStringList>

// Records the programs it is asked to start again; quits nothing.
class FakeRelauncher final : public Relauncher {
 public:
  bool relaunch(const QString& program) override {
    relaunched.append(program);
    return true;
  }

  QStringList relaunched;
};
