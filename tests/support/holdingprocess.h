#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// A helper program that takes something on the test desktop (a key grab, a
// selection), says on its first line whether it got it, and holds it until
// its standard input closes.
class HoldingProcess {
 public:
  HoldingProcess() = default;
  ~HoldingProcess() { release(); }
  HoldingProcess(const HoldingProcess&) = delete;
  HoldingProcess& operator=(const HoldingProcess&) = delete;

  // Starts `program` and waits for its first line; true when it is `taken`.
  bool take(const QString& program, const QStringList& arguments, const QByteArray& taken);
  // Lets go and waits until the program has ended.
  void release();

 private:
  QProcess process_;
};
