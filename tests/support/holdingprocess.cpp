#include "holdingprocess.h"

bool HoldingProcess::take(const QString& program, const QStringList& arguments, const QByteArray& taken) {
  release();
  process_.start(program, arguments);
  if (!process_.waitForStarted(5000)) return false;
  while (!process_.canReadLine()) {
    if (!process_.waitForReadyRead(5000)) return false;
  }
  return process_.readLine().trimmed() == taken;
}

void HoldingProcess::release() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.closeWriteChannel();
  if (!process_.waitForFinished(5000)) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}
