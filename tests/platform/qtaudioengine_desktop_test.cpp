// The Qt Multimedia engine against real sound servers: the desktop's, a missing one, one that dies.
#include "platform/linux/qtaudioengine.h"
#include "awaittask.h"
#include "freshprocess.h"
#include "soundserver.h"
#include "testenvironment.h"
#include "testmicrophone.h"
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <atomic>
#include <mutex>

namespace {

using namespace std::chrono_literals;

struct CapturedBuffers {
  std::mutex mutex;
  std::vector<std::tuple<int, int, qsizetype>> buffers;  // rate, channels, frames
  std::atomic<bool> offMainThread{true};
  float peak = 0.0f;

  AudioEngine::Tap tap() {
    return [this](const AudioBuffer& buffer) {
      if (QThread::currentThread() == qApp->thread()) offMainThread = false;
      std::lock_guard lock(mutex);
      buffers.emplace_back(buffer.sampleRate, buffer.channelCount, buffer.frameCount());
      for (float sample : buffer.samples) peak = std::max(peak, std::abs(sample));
    };
  }
  size_t count() {
    std::lock_guard lock(mutex);
    return buffers.size();
  }
};

TEST(QtAudioEngine, CapturesTheDefaultInputInFullBuffersOnItsOwnThreadUntilStopped) {
  REQUIRE_TEST_DESKTOP();
  QtAudioEngine engine;
  // The pipe microphone's own format: no resampling on the way in.
  EXPECT_EQ(std::make_pair(engine.inputFormat().sampleRate, engine.inputFormat().channelCount), std::make_pair(48000, 2));
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(1000, 500ms, 0.5), true));
  CapturedBuffers captured;
  QString error;
  ASSERT_TRUE(engine.start(4096, captured.tap(), &error)) << error.toStdString();
  EXPECT_TRUE(engine.isRunning());
  ASSERT_TRUE(waitUntil([&] { return captured.count() >= 3; }));
  engine.stop();
  EXPECT_FALSE(engine.isRunning());
  const size_t afterStop = captured.count();
  {
    std::lock_guard lock(captured.mutex);
    for (size_t i = 0; i + 1 < captured.buffers.size(); ++i) EXPECT_EQ(captured.buffers[i], std::make_tuple(48000, 2, 4096));
    EXPECT_LE(std::get<2>(captured.buffers.back()), 4096);  // what was left at the stop
  }
  EXPECT_TRUE(captured.offMainThread);
  EXPECT_GT(captured.peak, 0.4f);
  EXPECT_GE(engine.capturedFrames(), 3u * 4096u);
  // Nothing after stop() returned, while another engine still hears the microphone.
  QtAudioEngine witness;
  CapturedBuffers heard;
  ASSERT_TRUE(witness.start(4096, heard.tap(), nullptr));
  EXPECT_TRUE(waitUntil([&] { return heard.count() >= 2; }));
  witness.stop();
  EXPECT_EQ(captured.count(), afterStop);
}

TEST(QtAudioEngine, WithoutASoundServerStartFailsAtOnceAndOneThatDiesIsReported) {
  REQUIRE_TEST_DESKTOP();
  IN_FRESH_PROCESS({
    qputenv("PULSE_SERVER", QFile::encodeName(u"unix:"_qs + TestEnvironment::root() + u"/none"_qs));
    QElapsedTimer elapsed;
    elapsed.start();
    QtAudioEngine absent;
    EXPECT_FALSE(absent.inputFormat().isValid());
    CapturedBuffers nothing;
    QString error;
    EXPECT_FALSE(absent.start(4096, nothing.tap(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(absent.isRunning());
    absent.stop();  // harmless
    EXPECT_LT(elapsed.elapsed(), 5000);
  });
  // A sound server of the test's own with one pipe microphone, killed while capturing.
  IN_FRESH_PROCESS({
    PrivateSoundServer server;
    ASSERT_TRUE(server.start(u"private_mic"_qs, 44100, 1));
    qputenv("PULSE_SERVER", QFile::encodeName(u"unix:"_qs + server.socket()));
    qputenv("VELTRINE_TEST_MIC_PIPE", QFile::encodeName(server.pipe()));
    QtAudioEngine engine;
    ASSERT_EQ(engine.inputFormat().sampleRate, 44100);
    ASSERT_EQ(engine.inputFormat().channelCount, 1);
    TestMicrophone microphone;
    ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, 500ms, 0.5), true));
    CapturedBuffers captured;
    ASSERT_TRUE(engine.start(4096, captured.tap(), nullptr));
    ASSERT_TRUE(waitUntil([&] { return captured.count() >= 1; }));
    QSignalSpy changed(&engine, &AudioEngine::configurationChanged);
    microphone.stop();
    server.kill();
    EXPECT_TRUE(waitUntil([&] { return changed.count() >= 1; }));
    EXPECT_FALSE(engine.isRunning());
    engine.stop();  // the source's device is gone by now: stopping must still be safe
    EXPECT_FALSE(engine.inputFormat().isValid() && engine.start(4096, captured.tap(), nullptr));
  });
}

}  // namespace
