#include "core/applicationexit.h"

#include <QCoreApplication>
#include <QMutex>

#include <vector>

namespace ApplicationExit {
namespace {

QMutex& mutex() {
  static QMutex instance;
  return instance;
}

std::vector<std::function<void()>>& actions() {
  static auto* list = new std::vector<std::function<void()>>();
  return *list;
}

bool& routineAdded() {
  static bool added = false;
  return added;
}

}  // namespace

void beforeApplicationEnds(std::function<void()> action) {
  QMutexLocker lock(&mutex());
  actions().push_back(std::move(action));
  if (!routineAdded()) {
    // Qt runs its post routines first thing in the application object's
    // destructor, while the object and its event dispatcher still work.
    qAddPostRoutine(&runRegisteredActions);
    routineAdded() = true;
  }
}

void runRegisteredActions() {
  std::vector<std::function<void()>> pending;
  {
    QMutexLocker lock(&mutex());
    pending.swap(actions());
  }
  for (auto it = pending.rbegin(); it != pending.rend(); ++it) (*it)();
}

}  // namespace ApplicationExit
