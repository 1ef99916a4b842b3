// The test desktop that scripts/test starts: what later tests rely on.
#include "awaittask.h"
#include "testenvironment.h"
#include "testmicrophone.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QMediaDevices>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

TEST(TestDesktop, PipeMicrophoneIsTheDefaultInputAndDeliversWhatIsPlayed) {
  REQUIRE_TEST_DESKTOP();
  const QAudioDevice input = QMediaDevices::defaultAudioInput();
  ASSERT_FALSE(input.isNull());
  EXPECT_TRUE(input.description().contains(QStringLiteral("Veltrine test microphone")))
      << input.description().toStdString();
  // Listed among the inputs too, as the recorder and the permission model look for it.
  const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
  EXPECT_TRUE(std::any_of(inputs.begin(), inputs.end(), [&](const QAudioDevice& device) { return device.id() == input.id(); }));

  QAudioFormat format;
  format.setSampleRate(48000);
  format.setChannelCount(2);
  format.setSampleFormat(QAudioFormat::Int16);
  QAudioSource source(input, format);
  QIODevice* device = source.start();
  ASSERT_NE(device, nullptr);

  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, std::chrono::milliseconds(800), 0.5)));
  QByteArray captured;
  QObject::connect(device, &QIODevice::readyRead, [&] { captured += device->readAll(); });
  ASSERT_TRUE(waitUntil([&] { return captured.size() >= 48000 * 4 / 4; }, std::chrono::seconds(5)));
  source.stop();

  // Loud samples arrived (the tone, not silence).
  const auto* samples = reinterpret_cast<const qint16*>(captured.constData());
  int peak = 0;
  for (qsizetype i = 0; i < captured.size() / 2; ++i) peak = std::max(peak, std::abs(int(samples[i])));
  EXPECT_GT(peak, 10000);
}

TEST(TestDesktop, SessionBusAndAccessibilityBusAnswer) {
  REQUIRE_TEST_DESKTOP();
  QDBusConnection bus = QDBusConnection::sessionBus();
  ASSERT_TRUE(bus.isConnected());
  EXPECT_TRUE(bus.interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus")).value());
}

}  // namespace
