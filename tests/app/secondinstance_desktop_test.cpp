#include "awaittask.h"
#include "fakeservice.h"
#include "testenvironment.h"
#include "testwindow.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The process owning the window that has the desktop's focus, or 0.
qint64 activeWindowProcess() {
  QProcess xdotool;
  xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow"), QStringLiteral("getwindowpid")});
  if (!xdotool.waitForFinished(5000) || xdotool.exitCode() != 0) return 0;
  return xdotool.readAllStandardOutput().trimmed().toLongLong();
}

// A copy of the program, started as the desktop would start it.
class Program {
 public:
  explicit Program(const QUrl& service) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("VELTRINE_SERVICE_ORIGIN"), service.toString());
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
  }
  ~Program() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
      process_.kill();
      process_.waitForFinished(3000);
    }
  }

  bool start() {
    process_.start(QStringLiteral(VELTRINE_PROGRAM_PATH), {});
    return process_.waitForStarted(5000);
  }
  qint64 processId() const { return process_.processId(); }
  QProcess& process() { return process_; }

 private:
  QProcess process_;
};

TEST(SecondInstance, StartingTheProgramAgainBringsTheRunningWindowForward) {
  REQUIRE_TEST_DESKTOP();
  FakeService service;
  Program first(service.origin());
  ASSERT_TRUE(first.start());
  // The running copy shows its main window right after launch.
  ASSERT_TRUE(waitUntil([&] { return activeWindowProcess() == first.processId(); }, std::chrono::seconds(10)));

  // Another application takes the focus...
  TestWindow other;
  ASSERT_TRUE(other.start());
  ASSERT_TRUE(waitUntil([&] { return activeWindowProcess() == other.processId(); }));

  // ...and the program is started again: the new copy ends at once, and the
  // running one comes to the front.
  Program second(service.origin());
  ASSERT_TRUE(second.start());
  ASSERT_TRUE(second.process().waitForFinished(10000));
  EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.process().exitCode(), 0);
  EXPECT_TRUE(waitUntil([&] { return activeWindowProcess() == first.processId(); }, std::chrono::seconds(5)));
  EXPECT_EQ(first.process().state(), QProcess::Running);
}

}  // namespace
