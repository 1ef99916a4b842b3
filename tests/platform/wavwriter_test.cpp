// The WAV writer: a header whose sizes are patched at close, new files only.
#include "platform/wavwriter.h"
#include "testenvironment.h"
#include "wavfile.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

QString pathFor(const char* name) { return TestEnvironment::root() + QLatin1Char('/') + QLatin1String(name); }

TEST(WavWriter, WritesA16kMonoPcmFileWhoseHeaderMatchesItsData) {
  const QString path = pathFor("a.wav");
  WavWriter writer;
  ASSERT_TRUE(writer.open(path, 16000, 1));
  std::vector<qint16> samples(16000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<qint16>(i % 2 ? -12345 : 12345);
  ASSERT_TRUE(writer.append(samples.data(), 10000));
  ASSERT_TRUE(writer.append(samples.data() + 10000, 6000));
  EXPECT_EQ(writer.samplesWritten(), 16000);
  ASSERT_TRUE(writer.close());

  const auto wav = WavFile::read(path);
  ASSERT_TRUE(wav);
  EXPECT_TRUE(wav->isValid16kMono());
  EXPECT_EQ(wav->dataSize, 32000u);
  EXPECT_EQ(wav->samples, samples);
  EXPECT_EQ(QFileInfo(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
}

TEST(WavWriter, AnEmptyRecordingIsStillAValidFile) {
  const QString path = pathFor("empty.wav");
  {
    WavWriter writer;
    ASSERT_TRUE(writer.open(path, 16000, 1));
  }  // the destructor closes
  const auto wav = WavFile::read(path);
  ASSERT_TRUE(wav);
  EXPECT_TRUE(wav->isValid16kMono());
  EXPECT_EQ(wav->fileSize, 44);
}

TEST(WavWriter, NeverOpensOverAnExistingFileOrIntoAMissingFolder) {
  const QString existing = pathFor("taken.wav");
  {
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep me");
  }
  WavWriter writer;
  QString error;
  EXPECT_FALSE(writer.open(existing, 16000, 1, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(writer.isOpen());
  QFile file(existing);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("keep me"));

  EXPECT_FALSE(writer.open(pathFor("missing/folder.wav"), 16000, 1));
  EXPECT_FALSE(writer.append(nullptr, 4));
  EXPECT_TRUE(writer.close());
}

}  // namespace
