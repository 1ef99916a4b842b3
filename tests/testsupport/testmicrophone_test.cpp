// What the test microphone plays from a WAV file: 48 kHz stereo, whatever the
// file's own rate and channels.
#include "testenvironment.h"
#include "testmicrophone.h"
#include "wavfile.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

QByteArray le16(quint16 value) {
  QByteArray bytes(2, '\0');
  qToLittleEndian(value, bytes.data());
  return bytes;
}

QByteArray le32(quint32 value) {
  QByteArray bytes(4, '\0');
  qToLittleEndian(value, bytes.data());
  return bytes;
}

QByteArray chunk(const QByteArray& id, const QByteArray& body) {
  QByteArray out = id + le32(static_cast<quint32>(body.size())) + body;
  if (body.size() % 2) out += '\0';
  return out;
}

// A sine tone as a WAV file, with an odd-sized LIST chunk before the data as
// recorders write them.
QString writeToneWav(const QString& name, int rate, int channels, int bits, double frequency, int milliseconds) {
  const int frames = rate * milliseconds / 1000;
  QByteArray samples;
  for (int i = 0; i < frames; ++i) {
    const double value = 0.5 * std::sin(2.0 * std::numbers::pi * frequency * i / rate);
    for (int c = 0; c < channels; ++c) {
      if (bits == 16) samples += le16(static_cast<quint16>(static_cast<qint16>(std::lround(value * 32767))));
      else samples += static_cast<char>(std::lround(128 + value * 127));
    }
  }
  const int blockAlign = channels * bits / 8;
  const QByteArray format = le16(1) + le16(static_cast<quint16>(channels)) + le32(static_cast<quint32>(rate)) +
                            le32(static_cast<quint32>(rate * blockAlign)) + le16(static_cast<quint16>(blockAlign)) +
                            le16(static_cast<quint16>(bits));
  const QByteArray body = "WAVE" + chunk("fmt ", format) + chunk("LIST", QByteArrayLiteral("INFOISFT\x03\0\0\0abc")) + chunk("data", samples);
  const QString path = TestEnvironment::root() + QLatin1Char('/') + name;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {};
  file.write("RIFF" + le32(static_cast<quint32>(body.size())) + body);
  return path;
}

std::vector<qint16> channel(const QByteArray& pcm, int which) {
  std::vector<qint16> out;
  const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
  for (qsizetype i = which; i < pcm.size() / 2; i += TestMicrophone::kChannels) out.push_back(samples[i]);
  return out;
}

TEST(TestMicrophone, WavFilesBecome48kHzStereoAtTheirOwnPitchAndLength) {
  const struct {
    int rate;
    int channels;
  } cases[] = {{16000, 1}, {44100, 2}, {48000, 2}, {8000, 1}};
  for (const auto& item : cases) {
    const QString path = writeToneWav(QStringLiteral("tone.wav"), item.rate, item.channels, 16, 440, 500);
    const QByteArray pcm = TestMicrophone::fromWav(path);
    const std::vector<qint16> left = channel(pcm, 0);
    const std::vector<qint16> right = channel(pcm, 1);
    EXPECT_NEAR(static_cast<double>(left.size()), 24000, 2) << item.rate;
    EXPECT_EQ(left, right) << item.rate;
    EXPECT_NEAR(SignalAnalysis::frequency(left, TestMicrophone::kSampleRate), 440, 2) << item.rate;
    EXPECT_NEAR(SignalAnalysis::rms(left), 0.5 / std::sqrt(2.0), 0.02) << item.rate;
  }
}

TEST(TestMicrophone, WavFilesItCannotPlayGiveNothing) {
  const QString eightBit = writeToneWav(QStringLiteral("eight.wav"), 16000, 1, 8, 440, 100);
  const QString text = TestEnvironment::root() + QStringLiteral("/text.wav");
  QFile file(text);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("RIFF....WAVEnot really");
  file.close();
  for (const QString& path : {eightBit, text, TestEnvironment::root() + QStringLiteral("/missing.wav")}) {
    EXPECT_TRUE(TestMicrophone::fromWav(path).isEmpty()) << path.toStdString();
  }
  TestMicrophone microphone;
  EXPECT_FALSE(microphone.playWav(text));
}

}  // namespace
