// The sound server's events as the watcher reports them, from a real server of
// the test's own: a new default, a source that goes, the server dying and
// coming back.
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

TEST(PulseSoundServerWatcher, FollowsTheDefaultSourceItsRemovalAndAServerThatComesBack) {
  REQUIRE_TEST_DESKTOP();
  IN_FRESH_PROCESS({
    PrivateSoundServer server;
    ASSERT_TRUE(server.start(u"private_mic"_qs, 44100, 1));
    qputenv("PULSE_SERVER", QFile::encodeName(u"unix:"_qs + server.socket()));
    PulseSoundServerWatcher watcher;
    ASSERT_TRUE(waitUntil([&] { return watcher.isConnected(); }));
    EXPECT_EQ(watcher.defaultSource(), u"private_mic"_qs);

    QSignalSpy removed(&watcher, &SoundServerWatcher::sourceRemoved);
    auto second = std::make_unique<PipeSource>(u"second_mic"_qs);
    ASSERT_TRUE(second->isLoaded());
    ASSERT_TRUE(pactl({u"set-default-source"_qs, second->name()}));
    EXPECT_TRUE(waitUntil([&] { return watcher.defaultSource() == u"second_mic"_qs; }));
    second.reset();
    EXPECT_TRUE(waitUntil([&] { return watcher.defaultSource() == u"private_mic"_qs && !removed.isEmpty(); }));
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(0).toString(), u"second_mic"_qs);

    server.kill();
    EXPECT_TRUE(waitUntil([&] { return !watcher.isConnected() && watcher.defaultSource().isEmpty(); }));
    ASSERT_TRUE(server.start(u"another_mic"_qs, 48000, 2));
    EXPECT_TRUE(waitUntil([&] { return watcher.defaultSource() == u"another_mic"_qs; }, 10s));
    EXPECT_TRUE(watcher.isConnected());
  });
}

}  // namespace
