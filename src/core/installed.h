#pragma once

#include <atomic>

// The one implementation of an interface in use: the program
// installs the real one at start-up, a test its fake; `Fallback` (which
// refuses everything) stands in until then. install(nullptr) uninstalls.
template <typename Interface, typename Fallback>
class Installed {
 public:
  static Interface& current() {
    static Fallback fallback;
    Interface* installed = slot().load();
    return installed ? *installed : fallback;
  }
  static void install(Interface* implementation) { slot().store(implementation); }

 private:
  static std::atomic<Interface*>& slot() {
    static std::atomic<Interface*> installed{nullptr};
    return installed;
  }
};
