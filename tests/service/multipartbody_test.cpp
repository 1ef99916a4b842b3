#include "service/multipartbody.h"

#include "testenvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kBoundary = QStringLiteral("0F3E2D1C-AAAA-4BBB-8CCC-0123456789AB");
const QByteArray kAudio("RIFF\x24\x00\x00\x00WAVE\r\n--not-a-boundary\r\n\xff\x00", 30);
const QByteArray kDash = "--" + kBoundary.toLatin1();
const QByteArray kClosing = kDash + "--\r\n";

QString writeAudio(const QString& name) {
  QDir().mkpath(TestEnvironment::root() + QStringLiteral("/audio"));
  QFile file(TestEnvironment::root() + QStringLiteral("/audio/") + name);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(kAudio);
  return file.fileName();
}

QByteArray textPart(const QByteArray& name, const QByteArray& value) {
  return kDash + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
}

QByteArray filePart(const QByteArray& name, const QByteArray& type) {
  return kDash + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + name + "\"\r\nContent-Type: " + type +
         "\r\n\r\n" + kAudio + "\r\n";
}

TEST(MultipartBody, EveryPartInOrderByteForByteAndOptionalPartsLeftOut) {
  const QString wav = writeAudio(QStringLiteral("Take 1.WAV"));
  const QString raw = writeAudio(QStringLiteral("rec"));
  const QString missing = TestEnvironment::root() + QStringLiteral("/nowhere.wav");
  const struct { const char* name; QString path; std::optional<QString> selected; std::optional<QStringList> clipboard;
                 std::optional<QString> agent; QByteArray expected; } cases[] = {
      {"every part", wav, QString(), QStringList{"say \"hi\"", "a/b", "中文 é"}, QStringLiteral("installed"),
       textPart("operation", "op") + textPart("selected_text", "") +
           textPart("clipboard_history", "[\"say \\\"hi\\\"\",\"a\\/b\",\"\xE4\xB8\xAD\xE6\x96\x87 \xC3\xA9\"]") +
           textPart("openclaw_status", "installed") + filePart("Take 1.WAV", "audio/wav") + kClosing},
      {"nothing but the operation", raw, std::nullopt, std::nullopt, std::nullopt,
       textPart("operation", "op") + filePart("rec", "application/octet-stream") + kClosing},
      {"selection written raw", raw, QStringLiteral("line \"1\"\r\nzwei/€"), std::nullopt, std::nullopt,
       textPart("operation", "op") + textPart("selected_text", "line \"1\"\r\nzwei/\xE2\x82\xAC") +
           filePart("rec", "application/octet-stream") + kClosing},
      {"unreadable audio", missing, std::nullopt, std::nullopt, std::nullopt, textPart("operation", "op") + kClosing},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(buildMultipartBody(c.path, QStringLiteral("op"), c.selected, c.clipboard, c.agent, kBoundary), c.expected)
        << c.name;
  }
  // A quote or line break in the file name cannot break the header.
  const QByteArray body = buildMultipartBody(writeAudio(QStringLiteral("a\"b\nc.wav")), QStringLiteral("op"),
                                             std::nullopt, std::nullopt, std::nullopt, kBoundary);
  EXPECT_TRUE(body.contains("; filename=\"a%22b%0Ac.wav\"\r\nContent-Type: audio/wav\r\n")) << body.toStdString();
}

TEST(MultipartBody, TheAudioTypeFollowsTheExtension) {
  const char* const cases[][2] = {{"A.WAV", "audio/wav"}, {"b.flac", "audio/flac"}, {"c.M4a", "audio/m4a"},
                                  {"d.mp3", "application/octet-stream"}, {"e.wav.gz", "application/octet-stream"}};
  for (const auto& c : cases) EXPECT_EQ(audioMimeType(QString::fromLatin1(c[0])), QLatin1String(c[1])) << c[0];
  EXPECT_EQ(openClawStatusFormValue(OpenClawStatus::unknown), std::nullopt);  // unknown: the part is left out
}

}  // namespace
