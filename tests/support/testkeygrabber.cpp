#include "testkeygrabber.h"

bool TestKeyGrabber::grab(const QStringList& keys) {
  release();
  process_.start(QStringLiteral(VELTRINE_TESTKEYGRABBER_PATH), keys);
  if (!process_.waitForStarted(5000)) return false;
  while (!process_.canReadLine()) {
    if (!process_.waitForReadyRead(5000)) return false;
  }
  return process_.readLine().trimmed() == "grabbed";
}

void TestKeyGrabber::release() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.closeWriteChannel();
  if (!process_.waitForFinished(5000)) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}
