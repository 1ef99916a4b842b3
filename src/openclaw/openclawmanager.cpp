#include "openclaw/openclawmanager.h"

OpenClawManager& OpenClawManager::shared() {
  static OpenClawManager* instance = new OpenClawManager();
  return *instance;
}

