#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// A helper program that takes something on the test desktop (a key grab, a
// selection), says on its first line whether it got it, and holds it until
// its standard input closes.
class HoldingProcess {
 public:
  ~HoldingProcess() { release(); }

  // Starts `program` and waits for its first line; true when it is `taken`.
  bool take(const QString& program, const QStringList& arguments, const QByteArray& taken) {
    release();
    process_.start(program, arguments);
    while (!process_.canReadLine()) {
      if (!process_.waitForReadyRead(5000)) return false;
    }
    return process_.readLine().trimmed() == taken;
  }
  // Lets go and waits until the program has ended.
  void release() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(5000);
  }

 private:
  QProcess process_;
};
