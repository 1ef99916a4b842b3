#include "onboarding/hotkeydisplay.h"

#include "pipeline/hotkeyconfig.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/hotkeystorage.h"

QString displayedHotKey(HotKeyCombo combo) {
  const HotKeyConfigMap& configs = HotKeyManager::shared().configs();
  const auto found = configs.constFind(combo);
  return (found != configs.cend() ? *found : HotKeyStorage::defaultConfig(combo)).displayString();
}
