// The sound server's events as the watcher reports them, from real servers:
// the desktop's, and one of the test's own that dies and comes back.
#include "platform/linux/pulsesoundserverwatcher.h"
#include "awaittask.h"
#include "freshprocess.h"
#include "soundserver.h"
#include "testenvironment.h"
#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

QStringList names(const QSignalSpy& spy) {
  QStringList all;
  for (const QList<QVariant>& arguments : spy) all << arguments.value(0).toString();
  return all;
}

TEST(PulseSoundServerWatcher, FollowsTheDefaultSourceAndTellsOfSourcesThatGo) {
  REQUIRE_TEST_DESKTOP();
  PulseSoundServerWatcher watcher;
  ASSERT_TRUE(waitUntil([&] { return watcher.isConnected(); }));
  EXPECT_EQ(watcher.defaultSource(), u"veltrine_microphone"_qs);

  QSignalSpy defaults(&watcher, &SoundServerWatcher::defaultSourceChanged);
  QSignalSpy removed(&watcher, &SoundServerWatcher::sourceRemoved);
  auto second = std::make_unique<PipeSource>(u"veltrine_second_microphone"_qs);
  ASSERT_TRUE(second->isLoaded());
  ASSERT_TRUE(pactl({u"set-default-source"_qs, second->name()}));
  EXPECT_TRUE(waitUntil([&] { return watcher.defaultSource() == second->name(); }));
  ASSERT_TRUE(pactl({u"set-default-source"_qs, u"veltrine_microphone"_qs}));
  EXPECT_TRUE(waitUntil([&] { return watcher.defaultSource() == u"veltrine_microphone"_qs; }));

  // The default unplugged: its removal is told, and the server's next choice.
  ASSERT_TRUE(pactl({u"set-default-source"_qs, second->name()}));
  ASSERT_TRUE(waitUntil([&] { return watcher.defaultSource() == second->name(); }));
  EXPECT_EQ(names(defaults), QStringList({second->name(), u"veltrine_microphone"_qs, second->name()}));
  EXPECT_TRUE(removed.isEmpty());
  second.reset();
  EXPECT_TRUE(waitUntil([&] { return !removed.isEmpty(); }));
  EXPECT_EQ(names(removed), QStringList({u"veltrine_second_microphone"_qs}));
  EXPECT_TRUE(waitUntil([&] { return watcher.defaultSource() == u"veltrine_microphone"_qs; }));
}

TEST(PulseSoundServerWatcher, WatchesAServerThatComesBackAfterItDied) {
  REQUIRE_TEST_DESKTOP();
  IN_FRESH_PROCESS({
    PrivateSoundServer server;
    ASSERT_TRUE(server.start(u"private_mic"_qs, 44100, 1));
    qputenv("PULSE_SERVER", QFile::encodeName(u"unix:"_qs + server.socket()));
    PulseSoundServerWatcher watcher;
    ASSERT_TRUE(waitUntil([&] { return watcher.isConnected(); }));
    EXPECT_EQ(watcher.defaultSource(), u"private_mic"_qs);
    server.kill();
    EXPECT_TRUE(waitUntil([&] { return !watcher.isConnected() && watcher.defaultSource().isEmpty(); }));
    ASSERT_TRUE(server.start(u"another_mic"_qs, 48000, 2));
    EXPECT_TRUE(waitUntil([&] { return watcher.defaultSource() == u"another_mic"_qs; }, 10s));
    EXPECT_TRUE(watcher.isConnected());
  });
}

}  // namespace
