// The WAV writer: a header whose sizes are patched at close, new files only.
#include "platform/wavwriter.h"
#include "testenvironment.h"
#include "wavfile.h"
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QString pathFor(const char* name) { return TestEnvironment::root() + QLatin1Char('/') + QLatin1String(name); }

TEST(WavWriter, WritesA16kMonoFileWhoseHeaderMatchesItsDataAlsoWhenEmpty) {
  std::vector<qint16> samples(16000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<qint16>(i % 2 ? -12345 : 12345);
  for (const size_t count : {size_t(16000), size_t(0)}) {
    const QString path = pathFor(count ? "a.wav" : "empty.wav");
    {
      WavWriter writer;
      ASSERT_TRUE(writer.open(path, 16000, 1));
      if (count) {  // in two pieces, closed by hand; else the destructor closes
        ASSERT_TRUE(writer.append(samples.data(), qsizetype(count / 3)));
        ASSERT_TRUE(writer.append(samples.data() + count / 3, qsizetype(count - count / 3)));
        EXPECT_EQ(writer.samplesWritten(), qint64(count));
        ASSERT_TRUE(writer.close());
      }
    }
    const auto wav = WavFile::read(path);
    ASSERT_TRUE(wav);
    EXPECT_TRUE(wav->isValid16kMono());
    EXPECT_EQ(wav->dataSize, 2 * count);
    EXPECT_EQ(wav->fileSize, qint64(44 + 2 * count));
    EXPECT_EQ(wav->samples, std::vector<qint16>(samples.begin(), samples.begin() + qsizetype(count)));
    EXPECT_EQ(QFileInfo(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
  }
}

TEST(WavWriter, NeverOpensOverAnExistingFileOrIntoAMissingFolder) {
  QFile file(pathFor("taken.wav"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("keep me") == 7);
  file.close();
  WavWriter writer;
  QString error;
  EXPECT_FALSE(writer.open(file.fileName(), 16000, 1, &error));
  EXPECT_FALSE(error.isEmpty() || writer.isOpen());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("keep me"));
  EXPECT_FALSE(writer.open(pathFor("missing/folder.wav"), 16000, 1));
  EXPECT_FALSE(writer.append(nullptr, 4));
  EXPECT_TRUE(writer.close());
}

}  // namespace
