// The test desktop that scripts/test starts: what later tests rely on.
#include "awaittask.h"
#include "testenvironment.h"
#include "testmicrophone.h"
#include "wavfile.h"

#include <QAudioSource>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QMediaDevices>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(TestDesktop, PipeMicrophoneIsTheDefaultInputAndDeliversWhatIsPlayed) {
  REQUIRE_TEST_DESKTOP();
  const QAudioDevice input = QMediaDevices::defaultAudioInput();
  EXPECT_TRUE(input.description().contains(QStringLiteral("Veltrine test microphone")))
      << input.description().toStdString();
  QAudioFormat format;
  format.setSampleRate(TestMicrophone::kSampleRate);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Int16);
  QAudioSource source(input, format);
  QIODevice* device = source.start();
  ASSERT_NE(device, nullptr);
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, std::chrono::milliseconds(800), 0.5)));
  QByteArray captured;
  QObject::connect(device, &QIODevice::readyRead, [&] { captured += device->readAll(); });
  ASSERT_TRUE(waitUntil([&] { return captured.size() >= 48000; }, std::chrono::seconds(5)));
  source.stop();
  // The tone at its own pitch, not silence.
  const auto* data = reinterpret_cast<const qint16*>(captured.constData());
  std::vector<qint16> samples(data, data + captured.size() / 2);
  samples.erase(samples.begin(), std::find_if(samples.begin(), samples.end(), [](qint16 s) { return std::abs(s) > 1000; }));
  ASSERT_GT(samples.size(), 4800u);
  EXPECT_NEAR(SignalAnalysis::frequency(samples, TestMicrophone::kSampleRate, 0, 4800), 440, 5);
  EXPECT_GT(SignalAnalysis::rms(samples, 0, 4800), 0.2);
}

TEST(TestDesktop, SessionBusAndAccessibilityBusAnswer) {
  REQUIRE_TEST_DESKTOP();
  QDBusConnection bus = QDBusConnection::sessionBus();
  ASSERT_TRUE(bus.isConnected());
  EXPECT_TRUE(bus.interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus")).value());
}

}  // namespace
