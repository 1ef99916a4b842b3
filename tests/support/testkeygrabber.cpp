#include "testkeygrabber.h"

bool TestKeyGrabber::grab(const QStringList& keys) {
  return process_.take(QStringLiteral(VELTRINE_TESTKEYGRABBER_PATH), keys, "grabbed");
}
