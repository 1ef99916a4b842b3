// The clipboard as another application sees it: it pastes every text we put there, however the
// clipboard was owned before and however large the text; and we read whole what it offers.
#include "platform/x11/x11pasteboard.h"
#include "awaittask.h"
#include "testenvironment.h"
#include "xclient.h"
#include <QClipboard>
#include <QElapsedTimer>
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

// Owners of every X toolkit, as they offer their selection: the text is read
// from the best target each lists, decoded by the type it sends.
TEST(X11Pasteboard, TheTextOfEveryKindOfOwnerIsReadFromTheBestTargetItLists) {
  REQUIRE_TEST_DESKTOP();
  // "Grüße αβ" in COMPOUND_TEXT: Latin-1 at first, then the Greek right half (ESC - F).
  const std::string compound = "Gr\xfc\xdf" "e \x1b-F\xe1\xe2";
  const struct {
    const char* owner;
    std::vector<XClient::Offer> offers;
    const char* selection;
    QString text;
  } owners[] = {
      {"Motif's clipboard (NEdit): STRING alone, Latin-1",
       {{"TIMESTAMP", "INTEGER", "\0\0\0\0"}, {"STRING", "STRING", "Gr\xfc\xdf" "e"}}, "CLIPBOARD",
       QStringLiteral("Grüße")},
      {"Motif's PRIMARY: COMPOUND_TEXT before the Latin-1 STRING, which cannot hold it",
       {{"STRING", "STRING", "Gr\xfc\xdf" "e ??"}, {"TEXT", "COMPOUND_TEXT", compound}, {"COMPOUND_TEXT", "COMPOUND_TEXT", compound}},
       "PRIMARY", QStringLiteral("Grüße αβ")},
      {"TEXT alone, answered as COMPOUND_TEXT", {{"TEXT", "COMPOUND_TEXT", compound}}, "PRIMARY",
       QStringLiteral("Grüße αβ")},
      {"AbiWord: UTF8_STRING ending in a NUL", {{"UTF8_STRING", "UTF8_STRING", std::string("beta\0", 5)}}, "CLIPBOARD",
       QStringLiteral("beta")},
      {"UTF-8 first where it is offered",
       {{"STRING", "STRING", "Gr\xfc\xdf" "e ??"}, {"UTF8_STRING", "UTF8_STRING", "Grüße αβ"}}, "CLIPBOARD",
       QStringLiteral("Grüße αβ")},
  };
  for (const auto& [name, offers, selection, text] : owners) {
    XClient::ClipboardOwner owner(offers, selection);
    ASSERT_TRUE(owner.owns()) << name;
    const auto which = QByteArray(selection) == "PRIMARY" ? X11Pasteboard::Selection::primary
                                                          : X11Pasteboard::Selection::clipboard;
    EXPECT_EQ(X11Pasteboard(which).plainText(0).value_or(QStringLiteral("(nothing)")), text) << name;
  }
}

// An owner that never answers costs the wait for one answer, not one for its
// list of targets and another for the text.
TEST(X11Pasteboard, AnOwnerThatNeverAnswersCostsOneTimeOut) {
  REQUIRE_TEST_DESKTOP();
  XClient::ClipboardOwner silent({{"UTF8_STRING", "UTF8_STRING", "never sent"}}, "CLIPBOARD", false);
  ASSERT_TRUE(silent.owns());
  QElapsedTimer waited;
  waited.start();
  EXPECT_FALSE(X11Pasteboard().plainText(0).has_value());
  EXPECT_LT(waited.elapsed(), 1900);
}

// A requestor that asks first for a target we do not offer (gvim asks for its
// own _VIMENC_TEXT) is refused at once, and that refusal is no read.
TEST(X11Pasteboard, ATargetWeDoNotOfferIsRefusedAtOnceAndIsNoRead) {
  REQUIRE_TEST_DESKTOP();
  X11Pasteboard primary(X11Pasteboard::Selection::primary);
  primary.clearContents();
  primary.setString(QStringLiteral("lent"));
  const qint64 readsBefore = primary.timesRead();
  std::future<std::vector<std::optional<XClient::Requestor::Answer>>> asked = std::async(std::launch::async, [] {
    XClient::Requestor gvim;
    std::vector<std::optional<XClient::Requestor::Answer>> answers;
    for (const char* target : {"_VIMENC_TEXT", "TARGETS", "UTF8_STRING"}) answers.push_back(gvim.ask("PRIMARY", target, 6s));
    return answers;
  });
  ASSERT_TRUE(waitUntil([&] { return asked.wait_for(0s) == std::future_status::ready; }, 20s));
  const auto answers = asked.get();
  ASSERT_TRUE(answers[0] && answers[1] && answers[2]);
  EXPECT_TRUE(answers[0]->refused);
  EXPECT_LT(answers[0]->after, 50ms);
  EXPECT_EQ(answers[1]->type, "ATOM");
  EXPECT_EQ(answers[2]->bytes, "lent");
  EXPECT_EQ(primary.timesRead() - readsBefore, 1);
  primary.clearContents();
}

// Text the user selects in one of the program's own views is put on PRIMARY by
// Qt itself, before the program has pasted anything: gvim's first question,
// for a format we do not offer, is refused at once there too, never left to
// its time-out.
TEST(X11Pasteboard, OurOwnSelectionIsServedAsWellBeforeAnyPaste) {
  REQUIRE_TEST_DESKTOP();
  X11Pasteboard primary(X11Pasteboard::Selection::primary);
  QGuiApplication::clipboard()->setText(QStringLiteral("selected in the panel"), QClipboard::Selection);
  std::future<std::vector<std::optional<XClient::Requestor::Answer>>> asked = std::async(std::launch::async, [] {
    XClient::Requestor gvim;
    std::vector<std::optional<XClient::Requestor::Answer>> answers;
    for (const char* target : {"_VIMENC_TEXT", "UTF8_STRING"}) answers.push_back(gvim.ask("PRIMARY", target, 3s));
    return answers;
  });
  ASSERT_TRUE(waitUntil([&] { return asked.wait_for(0s) == std::future_status::ready; }, 20s));
  const auto answers = asked.get();
  ASSERT_TRUE(answers[0] && answers[1]);
  EXPECT_TRUE(answers[0]->refused);
  EXPECT_LT(answers[0]->after, 50ms);
  EXPECT_EQ(answers[1]->bytes, "selected in the panel");
  QGuiApplication::clipboard()->clear(QClipboard::Selection);
}

// A program whose keys go through an input method's module (mousepad with
// fcitx5) may stamp its request with the time of a key from before we took the
// clipboard. The request reached us because we own the clipboard now: it gets
// what we hold, and the answer carries the time we took it at.
TEST(X11Pasteboard, ARequestStampedBeforeWeTookTheClipboardGetsWhatWeHold) {
  REQUIRE_TEST_DESKTOP();
  X11Pasteboard pasteboard;
  pasteboard.clearContents();
  pasteboard.setString(QStringLiteral("the answer"));
  std::future<std::optional<XClient::Requestor::Answer>> asked = std::async(std::launch::async, [] {
    XClient::Requestor mousepad;
    return mousepad.ask("CLIPBOARD", "UTF8_STRING", 6s, 1);  // a millisecond after the server started
  });
  ASSERT_TRUE(waitUntil([&] { return asked.wait_for(0s) == std::future_status::ready; }, 20s));
  const auto answer = asked.get();
  ASSERT_TRUE(answer);
  EXPECT_FALSE(answer->refused);
  EXPECT_EQ(answer->bytes, "the answer");
  pasteboard.clearContents();
}

// fcitx5 reads PRIMARY whenever it changes hands: its reads are not the
// terminal's.
TEST(X11Pasteboard, CountsTheReadsOfEachApplicationApart) {
  REQUIRE_TEST_DESKTOP();
  X11Pasteboard primary(X11Pasteboard::Selection::primary);
  primary.clearContents();
  primary.setString(QStringLiteral("lent"));
  XClient::Requestor terminal;
  RunningApplication app;
  app.window = terminal.window();
  const qint64 before = primary.timesReadBy(app);
  std::future<bool> read = std::async(std::launch::async, [&terminal] {
    XClient::Requestor bystander;
    const auto theirs = bystander.ask("PRIMARY", "UTF8_STRING", 6s);
    const auto ours = terminal.ask("PRIMARY", "UTF8_STRING", 6s);
    return theirs && ours && theirs->bytes == "lent" && ours->bytes == "lent";
  });
  ASSERT_TRUE(waitUntil([&] { return read.wait_for(0s) == std::future_status::ready; }, 20s));
  EXPECT_TRUE(read.get());
  EXPECT_EQ(primary.timesReadBy(app) - before, 1);
  primary.clearContents();
}

}  // namespace
