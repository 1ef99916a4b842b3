#include "app/singleinstance.h"

#include "awaittask.h"
#include "testenvironment.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

TEST(SingleInstance, SecondCopyIsRefusedAndBringsTheFirstForward) {
  SingleInstance first;
  ASSERT_TRUE(first.claim());
  QSignalSpy activations(&first, &SingleInstance::activationRequested);

  // A second copy runs in another process in real life; the lock is per open
  // file, so a second object in this process meets the same refusal.
  SingleInstance second;
  EXPECT_FALSE(second.claim());
  EXPECT_TRUE(second.activateRunningCopy());
  EXPECT_TRUE(waitUntil([&] { return activations.count() == 1; }));
}

TEST(SingleInstance, AFolderTooDeepForASocketPathStillBringsTheFirstForward) {
  const QString deep = TestEnvironment::root() + QStringLiteral("/") + QString(120, QLatin1Char('d'));
  ASSERT_TRUE(QDir().mkpath(deep));
  SingleInstance first(deep);
  ASSERT_TRUE(first.claim());
  QSignalSpy activations(&first, &SingleInstance::activationRequested);

  SingleInstance second(deep);
  EXPECT_FALSE(second.claim());
  EXPECT_TRUE(second.activateRunningCopy());
  EXPECT_TRUE(waitUntil([&] { return activations.count() == 1; }));

  // Another folder is another program's: its copies do not meet ours.
  const QString other = deep + QStringLiteral("/other");
  ASSERT_TRUE(QDir().mkpath(other));
  SingleInstance stranger(other);
  ASSERT_TRUE(stranger.claim());
}

TEST(SingleInstance, LockIsFreedWhenTheHolderGoesAway) {
  {
    SingleInstance first;
    ASSERT_TRUE(first.claim());
  }
  SingleInstance next;
  EXPECT_TRUE(next.claim());
}

}  // namespace
