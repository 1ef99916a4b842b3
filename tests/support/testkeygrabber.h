#pragma once

#include "holdingprocess.h"

#include <QStringList>

// Another program holding one key combination on the test desktop
// (veltrine-test-keygrabber, see keygrabber/main.cpp), for as long as the
// object lives.
class TestKeyGrabber {
 public:
  // Grabs the combination, for example {"alt", "w"}; false when another
  // client holds it already or the program did not answer.
  bool grab(const QStringList& keys);
  // Gives the combination back and waits until the program has ended.
  void release() { process_.release(); }

 private:
  HoldingProcess process_;
};
