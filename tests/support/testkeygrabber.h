#pragma once

#include <QProcess>
#include <QStringList>

// Another program holding one key combination on the test desktop
// (veltrine-test-keygrabber, see keygrabber/main.cpp), for as long as the
// object lives.
class TestKeyGrabber {
 public:
  TestKeyGrabber() = default;
  ~TestKeyGrabber() { release(); }
  TestKeyGrabber(const TestKeyGrabber&) = delete;
  TestKeyGrabber& operator=(const TestKeyGrabber&) = delete;

  // Grabs the combination, for example {"alt", "w"}; false when another
  // client holds it already or the program did not answer.
  bool grab(const QStringList& keys);
  // Gives the combination back and waits until the program has ended.
  void release();

 private:
  QProcess process_;
};
