// The clipboard as another application sees it: every text we put there is
// what that application pastes, however the clipboard was owned before and
// however large the text; and we read whole what another application offers.
#include "platform/x11/x11pasteboard.h"

#include "awaittask.h"
#include "testenvironment.h"
#include "testwindow.h"
#include "xclient.h"

#include <gtest/gtest.h>

#include <future>

namespace {

using namespace std::chrono_literals;

// What the test window reads from the clipboard now.
QStringList readByTheWindow(TestWindow& window) {
  window.clearLines();
  if (!window.command(QStringLiteral("clipboard"))) return {QStringLiteral("no answer")};
  return window.lines().filter(QStringLiteral("clipboard "));
}

// Numbered lines with letters of several UTF-8 lengths, so that a chunk lost,
// repeated, reordered or cut inside a character shows.
std::string numberedText(long bytes) {
  std::string text;
  for (int line = 0; long(text.size()) < bytes; ++line) text += std::to_string(line) + " Grüße 世界 ok\n";
  return text;
}

TEST(X11Pasteboard, EveryTextWeSetIsWhatTheOtherApplicationReads) {
  REQUIRE_TEST_DESKTOP();
  TestWindow window;
  ASSERT_TRUE(window.start());
  X11Pasteboard pasteboard;
  const std::pair<bool, QString> rounds[] = {  // whether the window owns the clipboard before we write
      {false, QStringLiteral("first")},  {false, QStringLiteral("second")}, {false, QStringLiteral("third, at once")},
      {true, QStringLiteral("fourth")}, {false, QStringLiteral("fifth")},
  };
  for (const auto& [windowOwns, text] : rounds) {
    SCOPED_TRACE(text.toStdString());
    if (windowOwns) {
      ASSERT_TRUE(window.command(QStringLiteral("setclipboard text/plain ") + QString::fromLatin1(QByteArray("theirs").toBase64())));
    }
    // As a paste writes it: emptied, then the text.
    pasteboard.clearContents();
    pasteboard.setString(text);
    const QString expected = QStringLiteral("clipboard text/plain ") + QString::fromLatin1(text.toUtf8().toBase64());
    EXPECT_TRUE(waitUntil([&] { return readByTheWindow(window).contains(expected); }));
    EXPECT_EQ(pasteboard.plainText(0).value_or(QString()), text);
  }
  pasteboard.clearContents();
}

TEST(X11Pasteboard, ATextLargerThanTheServerTakesInOneRequestReachesAnotherApplicationInChunks) {
  REQUIRE_TEST_DESKTOP();
  XClient::Connection connection;
  ASSERT_TRUE(connection.display);
  const std::string text = numberedText(connection.maxRequestBytes() + 4096);
  X11Pasteboard pasteboard;
  pasteboard.setString(QString::fromStdString(text));
  // The other application reads on its own thread while our event loop serves it.
  std::future<std::optional<XClient::Paste>> pasted = std::async(std::launch::async, [] { return XClient::paste(30000); });
  ASSERT_TRUE(waitUntil([&] { return pasted.wait_for(0s) == std::future_status::ready; }, 40s));
  const std::optional<XClient::Paste> paste = pasted.get();
  pasteboard.clearContents();
  ASSERT_TRUE(paste);
  EXPECT_TRUE(paste->incremental);
  EXPECT_EQ(paste->text.size(), text.size());
  EXPECT_TRUE(paste->text == text);
}

TEST(X11Pasteboard, ALargeTextAnotherApplicationSendsInChunksIsReadWholeAlsoWhenItIsSlow) {
  REQUIRE_TEST_DESKTOP();
  const std::string text = numberedText(1536 * 1024);
  // Slow: 24 chunks 60 ms apart, longer in all than one answer may take.
  for (const int chunkDelayMs : {0, 60}) {
    SCOPED_TRACE(chunkDelayMs);
    XClient::ClipboardOwner owner(text, 64 * 1024, chunkDelayMs);
    ASSERT_TRUE(owner.owns());
    X11Pasteboard pasteboard;
    const std::optional<QString> read = pasteboard.plainText(0);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), QString::fromStdString(text).size());
    EXPECT_TRUE(*read == QString::fromStdString(text));
    EXPECT_EQ(owner.incrementalTransfers(), 1);
  }
}

}  // namespace
