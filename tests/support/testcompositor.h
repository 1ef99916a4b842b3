#pragma once

#include "holdingprocess.h"

// Another program announcing itself as the screen's compositing manager
// (compositorclaim/main.cpp) while started; it composites nothing.
class TestCompositor {
 public:
  // False when a compositor runs already or the program did not answer.
  bool start();
  void stop() { process_.release(); }

 private:
  HoldingProcess process_;
};
