#include "platform/linux/waitingrelauncher.h"

#include "awaittask.h"
#include "testenvironment.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

// The new copy starts only once the old process is gone (one copy may run at a time), and without
// the AppImage variables of the image that went away.
TEST(WaitingRelauncher, StartsTheProgramOnceTheProcessHasEndedWithoutTheOldImagesVariables) {
  QProcess running;
  running.start(QStringLiteral("sleep"), {QStringLiteral("30")});
  ASSERT_TRUE(running.waitForStarted());
  qputenv("APPIMAGE", "/old/Veltrine.AppImage");
  const QString environment = TestEnvironment::root() + QStringLiteral("/environment");
  ASSERT_TRUE(WaitingRelauncher::startAfterExit(running.processId(), QStringLiteral("/bin/sh"),
                                                {QStringLiteral("-c"), QStringLiteral("env > \"$1\""),
                                                 QStringLiteral("sh"), environment}));
  EXPECT_FALSE(waitUntil([&] { return QFile::exists(environment); }, std::chrono::milliseconds(400)));
  running.kill();
  running.waitForFinished();
  QFile written(environment);
  ASSERT_TRUE(waitUntil([&] { return written.size() > 0; }));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  const QByteArray variables = written.readAll();
  EXPECT_TRUE(variables.contains("HOME=")) << variables.toStdString();
  EXPECT_FALSE(variables.contains("APPIMAGE=")) << variables.toStdString();
}
