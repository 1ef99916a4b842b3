// The main window closed and opened again, with a real editor beside it: the
// texts the user selected before start unselected.
#include "desktopeditor.h"
#include "mainwindow/historycard.h"
#include "mainwindow/mainview.h"
#include "mainwindowtest.h"
#include "overlays/markdownscrollview.h"
#include "overlays/markdowntextview.h"
#include "platform/x11/x11pasteboard.h"
#include "service/authstore.h"
#include "testpointer.h"

#include <QDeadlineTimer>

namespace {

class MainWindowShownAgain : public MainWindowTest {
 protected:
  MainWindowShownAgain() {
    AuthStore::shared().setEmail(QStringLiteral("writer@example.com"));
    AuthStore::shared().setToken(QStringLiteral("token-1"));
    HistoryStore::shared().load();
    Pasteboard::installPrimarySelection(&primary);
  }
  ~MainWindowShownAgain() override { Pasteboard::installPrimarySelection(nullptr); }

  // The editor on the right of the screen, the main window on its left.
  void arrange() {
    ASSERT_TRUE(editor.open(QStringLiteral("alpha")));
    // Once its window shows (xdotool finds none before, and fails); every
    // condition must hold, or any window would match the class.
    const QStringList editorWindow{"search", "--all", "--onlyvisible", "--pid", QString::number(editor.processId()),
                                   "--class", "."};
    ASSERT_TRUE(waitUntil([&] { return TestKeyboard::run(editorWindow + QStringList{"windowsize", "480", "600",
                                                                                     "windowmove", "780", "60"}); },
                          std::chrono::seconds(20)));
    view.setMinimumSize(0, 0);
    view.setGeometry(20, 40, 740, 700);
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.windowHandle() && view.windowHandle()->isExposed(); }));
  }

  // A middle click into the editor, and its document once it holds `words`
  // (or as it is after ten seconds).
  QString middleClickIntoTheEditor(const QString& words) {
    if (!TestPointer::click(QPoint(1000, 400), 2)) return {};
    std::optional<QString> text;
    const QDeadlineTimer deadline(10000);
    do {
      text = editor.saveAndRead();
      if (text && text->contains(words)) break;
      QTest::qWait(200);
    } while (!deadline.hasExpired());
    return text.value_or(QString());
  }

  // Closes the main window and opens it again, as "Show Main Window" does.
  void closeAndShowAgain() {
    view.hide();
    QTest::qWait(300);
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.windowHandle()->isExposed(); }));
  }

  X11Pasteboard primary{X11Pasteboard::Selection::primary};
  DesktopEditor editor{DesktopEditor::Program::mousepad};
  MainView view;
};

// The home page's latest answer (rendered markdown) and an answer on the
// history page (a plain label): words selected there, the window closed and
// opened again; a drag that begins inside the words selected before selects
// anew (an old highlight would be dragged away instead), and a middle click
// into the editor pastes what it selected. A window only minimised keeps the
// selection.
TEST_F(MainWindowShownAgain, TheAnswersStartUnselectedAndTheFirstDragSelects) {
  REQUIRE_TEST_DESKTOP();
  RecordingHistory plain = makeRecord(RecognitionStatus::success);
  plain.result = QStringLiteral("red orange yellow green blue violet");
  HistoryStore::shared().addRecord(plain);
  RecordingHistory markdown = makeRecord(RecognitionStatus::success, QStringLiteral("agent"));
  markdown.actionType = QStringLiteral("show_markdown");
  markdown.result = QStringLiteral("# Answer\n\none two three four five six");
  HistoryStore::shared().addRecord(markdown);
  ASSERT_NO_FATAL_FAILURE(arrange());

  const QList<MarkdownScrollView*> latest = shownWidgets<MarkdownScrollView>(view);
  ASSERT_EQ(latest.size(), 1);
  const QTextEdit* answer = latest.first()->textView();
  const auto answerSelection = [&] { return answer->textCursor().selectedText(); };
  ASSERT_TRUE(TestPointer::dragAcross(answer, QStringLiteral("three four five six"), answerSelection));
  // Minimised and restored, the window is as the user left it.
  view.showMinimized();
  ASSERT_TRUE(waitUntil([&] { return !view.windowHandle()->isExposed(); }));
  view.showNormal();
  ASSERT_TRUE(waitUntil([&] { return view.windowHandle()->isExposed(); }));
  EXPECT_EQ(answerSelection(), QStringLiteral("three four five six"));
  ASSERT_NO_FATAL_FAILURE(closeAndShowAgain());
  ASSERT_TRUE(TestPointer::dragAcross(answer, QStringLiteral("five six"), answerSelection))
      << answerSelection().toStdString();
  QString pasted = middleClickIntoTheEditor(QStringLiteral("five six"));
  EXPECT_EQ(pasted.count(QStringLiteral("five six")), 1) << pasted.toStdString();

  view.setSelectedTab(SidebarTab::history);
  QLabel* summary = nullptr;
  ASSERT_TRUE(waitUntil([&] {
    for (HistoryCard* card : shownWidgets<HistoryCard>(view)) {
      if (card->record().id == plain.id) summary = shownWith<QLabel>(*card, *plain.result);
    }
    return summary && onScreen(summary);
  }));
  const auto summarySelection = [&] { return summary->selectedText(); };
  ASSERT_TRUE(TestPointer::dragAcross(summary, QStringLiteral("yellow green blue"), summarySelection));
  ASSERT_NO_FATAL_FAILURE(closeAndShowAgain());
  ASSERT_TRUE(TestPointer::dragAcross(summary, QStringLiteral("green blue violet"), summarySelection))
      << summarySelection().toStdString();
  pasted = middleClickIntoTheEditor(QStringLiteral("green blue violet"));
  EXPECT_EQ(pasted.count(QStringLiteral("green blue violet")), 1) << pasted.toStdString();
}

}  // namespace
