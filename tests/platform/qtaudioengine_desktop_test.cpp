// The Qt Multimedia engine against real sound servers: the test desktop's,
// a missing one, and a private one that dies while capturing.
#include "platform/linux/qtaudioengine.h"
#include "awaittask.h"
#include "freshprocess.h"
#include "testenvironment.h"
#include "testmicrophone.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

namespace {

struct CapturedBuffers {
  std::mutex mutex;
  std::vector<qsizetype> frameCounts;
  std::vector<AudioBuffer> formats;
  std::atomic<bool> offMainThread{true};
  float peak = 0.0f;

  AudioEngine::Tap tap() {
    return [this](const AudioBuffer& buffer) {
      if (QThread::currentThread() == qApp->thread()) offMainThread = false;
      std::lock_guard lock(mutex);
      frameCounts.push_back(buffer.frameCount());
      formats.push_back(AudioBuffer{buffer.sampleRate, buffer.channelCount, {}});
      for (float sample : buffer.samples) peak = std::max(peak, std::abs(sample));
    };
  }
  size_t count() {
    std::lock_guard lock(mutex);
    return frameCounts.size();
  }
};

// A sound server of the test's own with one pipe microphone, so that it can
// be killed without disturbing the test desktop.
class PrivateSoundServer {
 public:
  bool start() {
    const QString run = TestEnvironment::root() + QStringLiteral("/run");
    socket_ = run + QStringLiteral("/private-pulse");
    pipe_ = run + QStringLiteral("/private-mic.pipe");
    server_.setProgram(QStringLiteral("pulseaudio"));
    server_.setArguments({QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                          QStringLiteral("--disable-shm"), QStringLiteral("--use-pid-file=no"),
                          QStringLiteral("-n"), QStringLiteral("-L"),
                          QStringLiteral("module-native-protocol-unix socket=%1 auth-anonymous=1").arg(socket_),
                          QStringLiteral("-L"),
                          QStringLiteral("module-pipe-source source_name=private_mic file=%1 format=s16le rate=44100 "
                                         "channels=1")
                              .arg(pipe_)});
    // Off the session bus: the desktop's own server holds the bus name there.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    server_.setProcessEnvironment(environment);
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start();
    if (!server_.waitForStarted(5000)) return false;
    if (!waitUntil([&] { return QFile::exists(socket_) && QFile::exists(pipe_); }, std::chrono::seconds(10))) return false;
    qputenv("PULSE_SERVER", QFile::encodeName(QStringLiteral("unix:") + socket_));
    qputenv("VELTRINE_TEST_MIC_PIPE", QFile::encodeName(pipe_));
    return true;
  }
  void kill() {
    server_.kill();
    server_.waitForFinished(5000);
  }
  ~PrivateSoundServer() { kill(); }

 private:
  QProcess server_;
  QString socket_;
  QString pipe_;
};

TEST(QtAudioEngine, CapturesTheDefaultInputInFullBuffersOnItsOwnThread) {
  REQUIRE_TEST_DESKTOP();
  QtAudioEngine engine;
  const AudioInputFormat format = engine.inputFormat();
  ASSERT_TRUE(format.isValid());
  EXPECT_EQ(format.sampleRate, 48000);  // the pipe microphone's own format: no resampling on the way in
  EXPECT_EQ(format.channelCount, 2);

  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(1000, std::chrono::milliseconds(500), 0.5), true));
  CapturedBuffers captured;
  QString error;
  ASSERT_TRUE(engine.start(4096, captured.tap(), &error)) << error.toStdString();
  EXPECT_TRUE(engine.isRunning());
  ASSERT_TRUE(waitUntil([&] { return captured.count() >= 3; }, std::chrono::seconds(5)));
  engine.stop();
  EXPECT_FALSE(engine.isRunning());
  const size_t afterStop = captured.count();

  std::lock_guard lock(captured.mutex);
  for (size_t i = 0; i + 1 < captured.frameCounts.size(); ++i) EXPECT_EQ(captured.frameCounts[i], 4096);
  EXPECT_LE(captured.frameCounts.back(), 4096);  // what was left at the stop
  EXPECT_EQ(captured.formats.front().sampleRate, 48000);
  EXPECT_EQ(captured.formats.front().channelCount, 2);
  EXPECT_TRUE(captured.offMainThread);
  EXPECT_GT(captured.peak, 0.4f);
  EXPECT_GE(engine.capturedFrames(), 3u * 4096u);
  // Nothing after stop() returned, while another engine still hears the microphone.
  QtAudioEngine witness;
  CapturedBuffers heard;
  ASSERT_TRUE(witness.start(4096, heard.tap(), nullptr));
  EXPECT_TRUE(waitUntil([&] { return heard.count() >= 2; }, std::chrono::seconds(5)));
  witness.stop();
  EXPECT_EQ(captured.frameCounts.size(), afterStop);
}

TEST(QtAudioEngine, WithoutASoundServerThereIsNoInputAndStartFailsAtOnce) {
  REQUIRE_TEST_DESKTOP();
  IN_FRESH_PROCESS({
  qputenv("PULSE_SERVER", QFile::encodeName(QStringLiteral("unix:") + TestEnvironment::root() + QStringLiteral("/none")));
  QElapsedTimer elapsed;
  elapsed.start();
  QtAudioEngine engine;
  EXPECT_FALSE(engine.inputFormat().isValid());
  CapturedBuffers captured;
  QString error;
  EXPECT_FALSE(engine.start(4096, captured.tap(), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(engine.isRunning());
  engine.stop();  // harmless
  EXPECT_LT(elapsed.elapsed(), 5000);
  });
}

TEST(QtAudioEngine, ASoundServerThatDiesWhileCapturingIsReportedAndNothingCrashes) {
  REQUIRE_TEST_DESKTOP();
  IN_FRESH_PROCESS({
  PrivateSoundServer server;
  ASSERT_TRUE(server.start());
  QtAudioEngine engine;
  const AudioInputFormat format = engine.inputFormat();
  ASSERT_EQ(format.sampleRate, 44100);
  ASSERT_EQ(format.channelCount, 1);

  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, std::chrono::milliseconds(500), 0.5), true));
  CapturedBuffers captured;
  ASSERT_TRUE(engine.start(4096, captured.tap(), nullptr));
  ASSERT_TRUE(waitUntil([&] { return captured.count() >= 1; }, std::chrono::seconds(5)));

  QSignalSpy changed(&engine, &AudioEngine::configurationChanged);
  microphone.stop();
  server.kill();
  EXPECT_TRUE(waitUntil([&] { return changed.count() >= 1; }, std::chrono::seconds(5)));
  EXPECT_FALSE(engine.isRunning());
  engine.stop();  // the source's device is gone by now: stopping must still be safe
  EXPECT_FALSE(engine.inputFormat().isValid() && engine.start(4096, captured.tap(), nullptr));
  });
}

}  // namespace
