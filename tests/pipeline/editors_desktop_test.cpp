// Dictations and rewrites in the real editors and browsers of a Debian
// desktop, as a user makes them: the keys that copy and paste, and what the
// document holds afterwards.
#include "browserpage.h"
#include "desktopflow.h"
#include "fakesynthetickeyboard.h"
#include "testwindow.h"
#include "testmicrophone.h"
#include "tracelines.h"

#include <QRegularExpression>

using namespace std::chrono_literals;

namespace {

class EditorsOnTheDesktop : public DesktopFlow {
 protected:
  void SetUp() override {
    DesktopFlow::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // Every chord the program types, on its way to the keyboard.
    noted.onChord = [this](const KeyChord& chord) { keyboard.typeChord(chord); };
    SyntheticKeyboard::install(&noted);
    ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, 1000ms, 0.5), true));
  }
  void TearDown() override {
    microphone.stop();
    DesktopFlow::TearDown();
  }

  // Selects `length` characters from `start` in the application in front, as
  // the user does with the keys, once it takes keys: until it holds the
  // selection as its PRIMARY selection.
  bool selectInFront(int start, int length, const QString& expected) {
    for (int attempt = 0; attempt < 10; ++attempt) {
      if (!TestKeyboard::selectWithKeys(start, length)) return false;
      if (waitUntil([&] {
            const auto app = front.frontmost();
            return app && primarySelection.isOwnedBy(*app) && primarySelection.string() == expected;
          }, 2s)) {
        return true;
      }
    }
    return false;
  }
  bool uploadedSelection(const QByteArray& text) const {
    return service.lastRequest().body.contains("name=\"selected_text\"\r\n\r\n" + text + "\r\n");
  }

  FakeSyntheticKeyboard noted;
  TestMicrophone microphone;
};

// Chromium keeps its accessibility off unless a screen reader asks for it, so
// a selection there is read through the copy command. A page may hold a
// terminal (xterm.js) that takes Control+C with nothing selected for an
// interrupt: the page never receives it, neither at a dictation with nothing
// selected nor at a rewrite, and the rewrite still reads the word.
TEST_F(EditorsOnTheDesktop, InChromiumTheCopyReadsTheWordAndNeverTypesControlC) {
  BrowserPage page(BrowserPage::Browser::chromium);
  ASSERT_TRUE(page.open(QStringLiteral("alpha beta gamma")));
  ASSERT_TRUE(isInFront(page.processId()));
  ASSERT_TRUE(selectInFront(6, 4, QStringLiteral("beta")));
  answerNext("rewrite", "paste", "BETA");
  answerNext("transcribe", "paste", " delta");

  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedSelection("beta"));
  EXPECT_TRUE(traceLines().contains(QStringLiteral("CmdC-Fallback snapshot: app=Chromium, textLen=4, isEditable=nil")))
      << traceLines().join(u'\n').toStdString();
  EXPECT_TRUE(waitUntil([&] { return page.text() == QStringLiteral("alpha BETA gamma"); }, 10s))
      << page.text().value_or(QStringLiteral("(no title)")).toStdString();

  ASSERT_TRUE(TestKeyboard::run({"key", "ctrl+End"}));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""));
  EXPECT_TRUE(waitUntil([&] { return page.text() == QStringLiteral("alpha BETA gamma delta"); }, 10s))
      << page.text().value_or(QStringLiteral("(no title)")).toStdString();
  EXPECT_FALSE(page.controlChords().contains(QStringLiteral("C-c"))) << page.controlChords().join(u' ').toStdString();
  EXPECT_TRUE(noted.chords.contains(KeyChord::controlInsert()));
}

// A Tk editor (Python's tkinter) names no process on its window, and has no
// accessibility: the X server names its process, so the word selected there
// is read through the copy. A dictation is typed once.
TEST_F(EditorsOnTheDesktop, InATkEditorARewriteReadsTheWordAndADictationIsTypedOnce) {
  TestWindow editor;
  ASSERT_TRUE(editor.start(TestWindow::Kind::tkEditor));
  ASSERT_TRUE(editor.command(QStringLiteral("text alpha beta gamma")));
  ASSERT_TRUE(isInFront(editor.processId()));
  ASSERT_TRUE(selectInFront(6, 4, QStringLiteral("beta")));
  answerNext("rewrite", "paste", "BETA");
  answerNext("transcribe", "paste", " delta");
  const auto text = [&] {
    const QStringList changes = editor.lines().filter(QRegularExpression(QStringLiteral("^text ")));
    return changes.isEmpty() ? QString() : changes.last().mid(5);
  };

  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedSelection("beta"));
  EXPECT_TRUE(waitUntil([&] { return text().count(QStringLiteral("BETA")) == 1; }, 10s)) << text().toStdString();

  ASSERT_TRUE(TestKeyboard::run({"key", "ctrl+End"}));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_TRUE(waitUntil([&] { return text().endsWith(QStringLiteral(" delta")); }, 10s)) << text().toStdString();
  EXPECT_EQ(text().count(QStringLiteral("delta")), 1) << text().toStdString();
}

}  // namespace
