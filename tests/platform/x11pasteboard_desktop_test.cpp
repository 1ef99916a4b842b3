// The clipboard as another application sees it: every text we put there must
// be what that application pastes, however the clipboard was owned before
// (by nobody, by another application, or already by us).
#include "platform/x11/x11pasteboard.h"

#include "testenvironment.h"
#include "testwindow.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

QString clipboardLine(const QString& text) {
  return QStringLiteral("clipboard text/plain ") + QString::fromLatin1(text.toUtf8().toBase64());
}

// What the test window reads from the clipboard now.
QStringList readByTheWindow(TestWindow& window) {
  window.clearLines();
  if (!window.command(QStringLiteral("clipboard"))) return {QStringLiteral("no answer")};
  return window.lines().filter(QStringLiteral("clipboard "));
}

TEST(X11Pasteboard, EveryTextWeSetIsWhatTheOtherApplicationReads) {
  REQUIRE_TEST_DESKTOP();
  TestWindow window;
  ASSERT_TRUE(window.start());
  X11Pasteboard pasteboard;

  struct Round {
    const char* before;  // who owns the clipboard before we write
    QString text;
  };
  const Round rounds[] = {
      {"nobody", QStringLiteral("first")},
      {"us", QStringLiteral("second")},
      {"us", QStringLiteral("third, written at once")},
      {"the window", QStringLiteral("fourth")},
      {"us", QStringLiteral("fifth")},
  };
  for (const Round& round : rounds) {
    SCOPED_TRACE(round.text.toStdString());
    if (QByteArray(round.before) == "the window") {
      ASSERT_TRUE(window.command(QStringLiteral("setclipboard text/plain ") +
                                 QString::fromLatin1(QByteArray("theirs").toBase64())));
    }
    // As a paste writes it: emptied, then the text.
    pasteboard.clearContents();
    pasteboard.setString(round.text);
    // Our event loop turns (an X client answers the request for the contents
    // only then), as it does while the other application pastes.
    QTest::qWait(50);
    EXPECT_TRUE(readByTheWindow(window).contains(clipboardLine(round.text))) << round.before;
    EXPECT_EQ(pasteboard.plainText(0).value_or(QString()).toStdString(), round.text.toStdString());
  }
}

}  // namespace
