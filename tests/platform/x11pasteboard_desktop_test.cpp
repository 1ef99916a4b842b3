// The clipboard as another application sees it: it pastes every text we put there, however the
// clipboard was owned before and however large the text; and we read whole what it offers.
#include "platform/x11/x11pasteboard.h"
#include "awaittask.h"
#include "testenvironment.h"
#include "xclient.h"
#include <QClipboard>
#include <QGuiApplication>
#include <future>
#include <thread>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Numbered lines with letters of several UTF-8 lengths: a chunk lost, repeated, reordered or cut shows.
std::string numberedText(long bytes) {
  std::string text;
  for (int line = 0; long(text.size()) < bytes; ++line) text += std::to_string(line) + " Grüße 世界 ok\n";
  return text;
}

// Another application pastes, on its own thread, while our event loop serves it.
std::optional<XClient::Paste> pastedByAnotherApplication() {
  std::future<std::optional<XClient::Paste>> pasted = std::async(std::launch::async, [] { return XClient::paste(30000); });
  EXPECT_TRUE(waitUntil([&] { return pasted.wait_for(0s) == std::future_status::ready; }, 40s));
  return pasted.get();
}

TEST(X11Pasteboard, EveryTextWeSetIsWhatAnotherApplicationPastesWhoeverOwnedTheClipboard) {
  REQUIRE_TEST_DESKTOP();
  X11Pasteboard pasteboard;
  const std::pair<bool, QString> rounds[] = {  // whether another application owns the clipboard before we write
      {false, QStringLiteral("first")}, {false, QStringLiteral("second")}, {true, QStringLiteral("third")},
      {false, QStringLiteral("fourth, at once")}, {true, QStringLiteral("fifth")}};
  for (const auto& [anotherOwns, text] : rounds) {
    std::optional<XClient::ClipboardOwner> other;
    EXPECT_TRUE(!anotherOwns || other.emplace("theirs", 65536, 0).owns());
    // As when the user copies elsewhere: our event loop turns before we write again.
    EXPECT_TRUE(waitUntil([&] { return !anotherOwns || !QGuiApplication::clipboard()->ownsClipboard(); }));
    // As a paste writes it: emptied, then the text.
    pasteboard.clearContents();
    pasteboard.setString(text);
    const std::optional<XClient::Paste> paste = pastedByAnotherApplication();
    EXPECT_EQ(paste ? paste->text : "(nothing)", text.toStdString());
    EXPECT_EQ(pasteboard.plainText(0).value_or(QString()), text);
  }
  pasteboard.clearContents();
}

// A copy typed into another application takes the clipboard while our main
// thread waits for it, and the clipboard is written again before our event
// loop turns (the user's contents put back, or an answer before its paste).
TEST(X11Pasteboard, ATextWrittenWhileTheEventLoopWaitsOutlivesTheClipboardTakenMeanwhile) {
  REQUIRE_TEST_DESKTOP();
  X11Pasteboard pasteboard;
  pasteboard.setString(QStringLiteral("ours"));
  ASSERT_TRUE(waitUntil([] { return QGuiApplication::clipboard()->ownsClipboard(); }));
  {
    XClient::ClipboardOwner other("theirs", 65536, 0);
    ASSERT_TRUE(other.owns());
    std::this_thread::sleep_for(100ms);  // our main thread waits for the copy meanwhile
    pasteboard.clearContents();
    pasteboard.setString(QStringLiteral("ours again"));
  }
  const std::optional<XClient::Paste> paste = pastedByAnotherApplication();
  EXPECT_EQ(paste ? paste->text : "(nothing)", "ours again");
  pasteboard.clearContents();
}

TEST(X11Pasteboard, ATextLargerThanTheServerTakesInOneRequestReachesAnotherApplicationInChunks) {
  REQUIRE_TEST_DESKTOP();
  XClient::Connection connection;
  ASSERT_TRUE(connection.display);
  const std::string text = numberedText(connection.maxRequestBytes() + 4096);
  X11Pasteboard pasteboard;
  pasteboard.setString(QString::fromStdString(text));
  const std::optional<XClient::Paste> paste = pastedByAnotherApplication();
  pasteboard.clearContents();
  ASSERT_TRUE(paste);
  EXPECT_TRUE(paste->incremental);
  EXPECT_TRUE(paste->text == text);
}

TEST(X11Pasteboard, ALargeTextAnotherApplicationSendsInChunksIsReadWholeAlsoWhenItIsSlow) {
  REQUIRE_TEST_DESKTOP();
  const QString text = QString::fromStdString(numberedText(1536 * 1024));
  // Slow: 24 chunks 60 ms apart, longer in all than one answer may take.
  for (const int chunkDelayMs : {0, 60}) {
    XClient::ClipboardOwner owner(text.toStdString(), 64 * 1024, chunkDelayMs);
    ASSERT_TRUE(owner.owns());
    const std::optional<QString> read = X11Pasteboard().plainText(0);
    EXPECT_EQ(read.value_or(QString()).size(), text.size()) << chunkDelayMs;
    EXPECT_TRUE(read == text);
    EXPECT_EQ(owner.incrementalTransfers(), 1);
  }
}

}  // namespace
