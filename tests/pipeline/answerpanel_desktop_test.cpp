// A request made while the answer panel has the keyboard (the user was
// selecting its words), under each window manager of the test desktop: some
// name no window active while a panel has the keyboard, mutter names the
// panel itself.
#include "desktopeditor.h"
#include "realpanels.h"
#include "speakingdesktopflow.h"
#include "windowmanagerdesktop.h"

#include <QTest>
#include <QTextBrowser>

using namespace std::chrono_literals;

namespace {

class DictationWhileTheAnswerHasTheKeyboard : public SpeakingDesktopFlow,
                                              public ::testing::WithParamInterface<std::string> {};

// The hotkey gives the keyboard back to the editor first: the dictation is
// typed there, and the words selected in the panel are no selection to
// replace.
TEST_P(DictationWhileTheAnswerHasTheKeyboard, IsTypedInTheEditor) {
  const QString manager = QString::fromStdString(GetParam());
  if (manager != WindowManagerDesktop::current()) {
    const WindowManagerDesktop::Run other = WindowManagerDesktop::runCurrentTestUnder(manager);
    EXPECT_TRUE(other.passed) << other.output.toStdString();
    return;
  }
  RealPanels panels;
  ResultOverlayWindowController& result = RealPanels::result();
  DesktopEditor editor(DesktopEditor::Program::mousepad);
  ASSERT_TRUE(editor.open(QStringLiteral("alpha")));
  ASSERT_TRUE(isInFront(editor.processId()));
  ASSERT_TRUE(TestKeyboard::run({"key", "ctrl+Home"}));

  result.show(QStringLiteral("# Answer\n\none two three"), true, true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(result.panel()->windowHandle()));
  // The answer off the editor's text, and a word of it selected with a double click.
  result.panel()->move(result.panel()->x(), 0);
  QTextBrowser* answer = result.panel()->findChild<QTextBrowser*>();
  ASSERT_NE(answer, nullptr);
  QTextCursor word(answer->document());
  word.setPosition(answer->document()->find(QStringLiteral("two")).selectionStart() + 1);
  const QPoint at = answer->viewport()->mapToGlobal(answer->cursorRect(word).center());
  ASSERT_TRUE(TestKeyboard::run({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "--repeat",
                                 "2", "1"}));
  ASSERT_TRUE(waitUntil([&] { return answer->textCursor().selectedText() == QStringLiteral("two"); }));
  ASSERT_TRUE(waitUntil([&] { return result.panel()->isActiveWindow(); }));

  answerNext("transcribe", "paste", "delta ");
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""));
  QString last;
  EXPECT_TRUE(waitUntil([&] { return (last = editor.saveAndRead().value_or(QString()).trimmed()) == "delta alpha"; },
                        15s))
      << last.toStdString();
  EXPECT_EQ(result.viewModel().text(), QStringLiteral("# Answer\n\none two three"));  // not shown there instead
}

INSTANTIATE_TEST_SUITE_P(, DictationWhileTheAnswerHasTheKeyboard,
                         ::testing::ValuesIn([] {
                           std::vector<std::string> names;
                           for (const QString& name : WindowManagerDesktop::all()) names.push_back(name.toStdString());
                           return names;
                         }()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
