#include "service/multipartbody.h"

#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const QString kBoundary = QStringLiteral("0F3E2D1C-AAAA-4BBB-8CCC-0123456789AB");
const QByteArray kAudio("RIFF\x24\x00\x00\x00WAVE\r\n--not-a-boundary\r\n\xff\x00", 30);

QString writeAudio(const QString& name, const QByteArray& content = kAudio) {
  const QString folder = TestEnvironment::root() + QStringLiteral("/audio");
  QDir().mkpath(folder);
  QFile file(folder + QLatin1Char('/') + name);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(content);
  return file.fileName();
}

QByteArray textPart(const QByteArray& name, const QByteArray& value) {
  return "--0F3E2D1C-AAAA-4BBB-8CCC-0123456789AB\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" +
         value + "\r\n";
}

const QByteArray kClosing = "--0F3E2D1C-AAAA-4BBB-8CCC-0123456789AB--\r\n";

TEST(MultipartBody, EveryPartInOrderByteForByte) {
  const QString path = writeAudio(QStringLiteral("Take 1.WAV"));
  const QStringList clipboard{QStringLiteral("say \"hi\""), QStringLiteral("a/b"), QStringLiteral("中文 é")};
  const QByteArray body = buildMultipartBody(path, QStringLiteral("rewrite"), QString(), clipboard,
                                             QStringLiteral("installed"), kBoundary);
  const QByteArray expected =
      textPart("operation", "rewrite") + textPart("selected_text", "") +
      textPart("clipboard_history", "[\"say \\\"hi\\\"\",\"a\\/b\",\"\xE4\xB8\xAD\xE6\x96\x87 \xC3\xA9\"]") +
      textPart("openclaw_status", "installed") +
      "--0F3E2D1C-AAAA-4BBB-8CCC-0123456789AB\r\n"
      "Content-Disposition: form-data; name=\"file\"; filename=\"Take 1.WAV\"\r\n"
      "Content-Type: audio/wav\r\n"
      "\r\n" +
      kAudio + "\r\n" + kClosing;
  EXPECT_EQ(body, expected);
}

TEST(MultipartBody, OptionalPartsAreLeftOutAndTextsGoAsTheyAre) {
  const QString path = writeAudio(QStringLiteral("rec"));
  const QByteArray file =
      "--0F3E2D1C-AAAA-4BBB-8CCC-0123456789AB\r\nContent-Disposition: form-data; name=\"file\"; filename=\"rec\"\r\n"
      "Content-Type: application/octet-stream\r\n\r\n" +
      kAudio + "\r\n";
  const struct {
    const char* name;
    std::optional<QString> selected;
    std::optional<QStringList> clipboard;
    QByteArray expected;
  } cases[] = {
      {"nothing but the operation", std::nullopt, std::nullopt, textPart("operation", "agent") + file + kClosing},
      {"empty clipboard history", std::nullopt, QStringList(), textPart("operation", "agent") + file + kClosing},
      {"selection written raw", QStringLiteral("line \"1\"\r\nzwei/€"), std::nullopt,
       textPart("operation", "agent") + textPart("selected_text", "line \"1\"\r\nzwei/\xE2\x82\xAC") + file + kClosing},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(buildMultipartBody(path, QStringLiteral("agent"), c.selected, c.clipboard, std::nullopt, kBoundary),
              c.expected)
        << c.name;
  }
}

TEST(MultipartBody, UnreadableAudioSendsTheFormWithoutItsFile) {
  const QString missing = TestEnvironment::root() + QStringLiteral("/nowhere.wav");
  EXPECT_EQ(buildMultipartBody(missing, QStringLiteral("transcribe"), std::nullopt, std::nullopt, std::nullopt, kBoundary),
            textPart("operation", "transcribe") + kClosing);
  EXPECT_EQ(buildMultipartBody(TestEnvironment::root(), QStringLiteral("transcribe"), std::nullopt, std::nullopt,
                               std::nullopt, kBoundary),
            textPart("operation", "transcribe") + kClosing);
}

TEST(MultipartBody, AQuoteOrLineBreakInTheFileNameCannotBreakTheHeader) {
  const QString path = writeAudio(QStringLiteral("a\"b\nc.wav"));
  const QByteArray body =
      buildMultipartBody(path, QStringLiteral("transcribe"), std::nullopt, std::nullopt, std::nullopt, kBoundary);
  EXPECT_TRUE(body.contains("; filename=\"a%22b%0Ac.wav\"\r\nContent-Type: audio/wav\r\n")) << body.toStdString();
}

TEST(MultipartBody, MimeTypeFollowsTheExtensionInLowerCase) {
  const struct {
    const char* name;
    const char* type;
  } cases[] = {
      {"a.wav", "audio/wav"},  {"A.WAV", "audio/wav"},   {"b.flac", "audio/flac"}, {"c.M4a", "audio/m4a"},
      {"d.mp3", "application/octet-stream"},             {"noextension", "application/octet-stream"},
      {"e.wav.gz", "application/octet-stream"},
  };
  for (const auto& c : cases) EXPECT_EQ(audioMimeType(QString::fromLatin1(c.name)), QLatin1String(c.type)) << c.name;
}

TEST(MultipartBody, AgentStatusIsSentOnlyOnceKnown) {
  EXPECT_EQ(openClawStatusFormValue(OpenClawStatus::unknown), std::nullopt);
  EXPECT_EQ(openClawStatusFormValue(OpenClawStatus::notInstalled), QStringLiteral("not_installed"));
  EXPECT_EQ(openClawStatusFormValue(OpenClawStatus::installedServiceDown), QStringLiteral("service_down"));
  EXPECT_EQ(openClawStatusFormValue(OpenClawStatus::ready), QStringLiteral("installed"));
}

TEST(MultipartBody, EachUploadGetsAFreshUpperCaseUuidBoundary) {
  const QRegularExpression uuid(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
  const QString first = newMultipartBoundary();
  const QString second = newMultipartBoundary();
  EXPECT_TRUE(uuid.match(first).hasMatch()) << first.toStdString();
  EXPECT_TRUE(uuid.match(second).hasMatch()) << second.toStdString();
  EXPECT_NE(first, second);
}

}  // namespace
