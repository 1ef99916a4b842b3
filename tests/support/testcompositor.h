#pragma once

#include "holdingprocess.h"

// Another program announcing itself as the screen's compositing manager
// (veltrine-test-compositor, see compositorclaim/main.cpp), for as long as the
// object lives or until release(); it composites nothing.
class TestCompositor {
 public:
  // False when another client is the compositor or the program did not answer.
  bool start();
  // Ends the program, and with it the claim.
  void stop() { process_.release(); }

 private:
  HoldingProcess process_;
};
