#include "core/appevents.h"

AppEvents& AppEvents::shared() {
  static AppEvents* instance = new AppEvents();
  return *instance;
}
