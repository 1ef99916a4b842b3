// Putting a result where the user was typing: when to paste, when to show the
// panel instead, the check of a paste into a field nobody could classify, and
// what happens when the desktop does not let us type.
#include "fakeaccessibilitytrust.h"
#include "fakefrontapplication.h"
#include "fakepasteboard.h"
#include "fakesynthetickeyboard.h"
#include "logcapture.h"
#include "recordingoverlaypresenter.h"
#include "tracelines.h"

#include "awaittask.h"
#include "core/clock.h"
#include "pipeline/permissionhelpdialog.h"
#include "pipeline/textinserter.h"

#include <QMessageBox>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::Contains;
using ::testing::IsEmpty;

namespace {

constexpr qint32 kEditorPid = 77;

class TextInsertion : public ::testing::Test {
 protected:
  void SetUp() override {
    Clock::setTimeScaleForTesting(0.1);
    pasteboard.copy({FakePasteboard::textItem(QStringLiteral("the user's own clipboard"))});
  }
  void TearDown() override { Clock::setTimeScaleForTesting(1.0); }

  static SelectionSnapshot snapshot(const QString& text, std::optional<bool> editable) {
    SelectionSnapshot taken;
    taken.text = text;
    taken.isEditable = editable;
    taken.source = SelectionSnapshot::Source::cmdCopy;
    return taken;
  }

  qsizetype typed(KeyChord::Key key) const {
    return std::count(keyboard.chords.cbegin(), keyboard.chords.cend(), KeyChord{key, false});
  }

  FakeAccessibilityTrust trust{true};
  FakeFrontApplication front{FakeFrontApplication::named(QStringLiteral("Editor"), kEditorPid)};
  FakePasteboard pasteboard;
  FakeSyntheticKeyboard keyboard;
  RecordingOverlayPresenter overlays;
  TextInserter inserter;
};

TEST_F(TextInsertion, TheSelectionDecidesBetweenPastingAndShowingTheResult) {
  struct Row {
    const char* name;
    QString result;
    std::optional<QString> selected;
    std::optional<SelectionSnapshot> taken;
    std::optional<QString> clipboardAfter;  // nothing: left as the user had it
    int pastes;
    QStringList panels;
  };
  const std::vector<Row> rows{
      {"no selection", "Hello", std::nullopt, std::nullopt, "Hello", 1, {}},
      {"empty selection", "Hello", QString(), std::nullopt, "Hello", 1, {}},
      {"no selection, empty result", "", std::nullopt, std::nullopt, std::nullopt, 0, {}},
      {"result repeats the selection", " same words\n", "same words", snapshot("same words", true), std::nullopt, 0,
       {}},
      {"selection without a snapshot", "new", "old", std::nullopt, "new", 1, {}},
      {"editable field", "new", "old", snapshot("old", true), "new", 1, {}},
      {"read-only text", "new", "old", snapshot("old", false), std::nullopt, 0, {"result plain new"}},
  };
  LogCapture log;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    pasteboard.copy({FakePasteboard::textItem(QStringLiteral("the user's own clipboard"))});
    keyboard.chords.clear();
    overlays.calls.clear();
    inserter.insert(row.result, row.selected, row.taken, kEditorPid);
    EXPECT_EQ(pasteboard.string(), row.clipboardAfter.value_or(QStringLiteral("the user's own clipboard")));
    EXPECT_EQ(pasteboard.itemCount(), 1);
    EXPECT_EQ(typed(KeyChord::Key::v), row.pastes);
    EXPECT_EQ(overlays.calls, row.panels);
  }
  EXPECT_EQ(log.texts(QStringLiteral("HotKeyFlow"))
                .count(QStringLiteral("handleAction: result identical to selectedText, silently discarding")),
            1);
}

TEST_F(TextInsertion, DuringTheOnboardingTheResultOnlyReachesTheClipboard) {
  inserter.setSkipSystemPaste(true);
  inserter.insert(QStringLiteral("practice"), std::nullopt, std::nullopt, kEditorPid);
  EXPECT_EQ(pasteboard.string(), QStringLiteral("practice"));
  EXPECT_THAT(keyboard.chords, IsEmpty());
}

TEST_F(TextInsertion, APasteTheApplicationIgnoredOpensTheResultPanel) {
  // The application takes the copy but not the paste: the selection stays.
  keyboard.onChord = [this](const KeyChord& chord) {
    if (chord.key == KeyChord::Key::c) pasteboard.copy({FakePasteboard::textItem(QStringLiteral("old words "))});
  };
  inserter.insert(QStringLiteral("new words"), QStringLiteral(" old words"), snapshot("old words", std::nullopt),
                  kEditorPid);
  EXPECT_EQ(typed(KeyChord::Key::v), 1);
  ASSERT_TRUE(waitUntil([&] { return !overlays.calls.isEmpty(); }));
  EXPECT_EQ(overlays.calls, QStringList{"result plain new words"});
  EXPECT_EQ(typed(KeyChord::Key::c), 1);
  EXPECT_EQ(pasteboard.string(), QStringLiteral("new words"));  // the result again, not the copied selection
  EXPECT_THAT(traceLines(), Contains("pasteAndVerify: currentText=old words, originalText=old words, match=true"));
}

TEST_F(TextInsertion, WhenNoKeysCanReachTheTargetThePanelShowsTheResult) {
  struct Row {
    const char* name;
    RunningApplication inFront;
    std::optional<SelectionSnapshot> taken;
  };
  const std::vector<Row> rows{
      {"another application took the focus", FakeFrontApplication::named(QStringLiteral("Mail"), 99), std::nullopt},
      {"unclassified field, focus gone", FakeFrontApplication::named(QStringLiteral("Mail"), 99),
       snapshot("old", std::nullopt)},
      {"a terminal whose copy key interrupts", FakeFrontApplication::named(QStringLiteral("XTerm"), kEditorPid),
       std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    front.app = row.inFront;
    keyboard.chords.clear();
    overlays.calls.clear();
    inserter.insert(QStringLiteral("new"), row.taken ? std::optional<QString>(QStringLiteral("old")) : std::nullopt,
                    row.taken, kEditorPid);
    EXPECT_THAT(keyboard.chords, IsEmpty());
    EXPECT_EQ(pasteboard.string(), QStringLiteral("new")) << "still on the clipboard too";
    QTest::qWait(Clock::scaledMs(600));  // no check follows and no second panel
    EXPECT_EQ(overlays.calls, QStringList{"result plain new"});
  }
}

TEST_F(TextInsertion, ACheckedPasteThatChangedTheSelectionStays) {
  struct Row {
    const char* name;
    std::optional<QString> copied;  // nothing: the copy never reaches the clipboard
  };
  for (const Row& row : {Row{"the field now holds other text", QStringLiteral("something else")},
                         Row{"the application ignores the copy", std::nullopt}}) {
    SCOPED_TRACE(row.name);
    keyboard.chords.clear();
    keyboard.onChord = [this, row](const KeyChord& chord) {
      if (chord.key == KeyChord::Key::c && row.copied) pasteboard.copy({FakePasteboard::textItem(*row.copied)});
    };
    auto check = inserter.pasteAndVerify(kEditorPid, QStringLiteral("old"), QStringLiteral("new"));
    awaitTask(std::move(check));
    EXPECT_EQ(typed(KeyChord::Key::c), 1);
    EXPECT_THAT(overlays.calls, IsEmpty());
  }
  EXPECT_THAT(traceLines(), Contains("pasteAndVerify: paste succeeded or text changed, keeping paste result"));
}

TEST_F(TextInsertion, WithoutTheDesktopsTrustTheUserIsAskedOnceUntilTheTrustReturns) {
  trust.trusted = false;
  inserter.pasteText(QStringLiteral("first"), kEditorPid);
  EXPECT_EQ(pasteboard.string(), QStringLiteral("first"));
  EXPECT_THAT(keyboard.chords, IsEmpty());
  EXPECT_TRUE(inserter.fillPermissionDenied());
  ASSERT_NE(PermissionHelpDialog::current(), nullptr);
  PermissionHelpDialog::current()->close();
  QTest::qWait(10);

  inserter.pasteText(QStringLiteral("second"), kEditorPid);  // not asked again
  EXPECT_EQ(pasteboard.string(), QStringLiteral("second"));
  EXPECT_EQ(PermissionHelpDialog::current(), nullptr);
  EXPECT_THAT(keyboard.chords, IsEmpty());

  trust.trusted = true;  // granted in the desktop's settings meanwhile
  inserter.pasteText(QStringLiteral("third"), kEditorPid);
  EXPECT_EQ(typed(KeyChord::Key::v), 1);
  EXPECT_FALSE(inserter.fillPermissionDenied());

  trust.trusted = false;  // and lost again: the user hears about it again
  inserter.pasteText(QStringLiteral("fourth"), kEditorPid);
  EXPECT_NE(PermissionHelpDialog::current(), nullptr);
  EXPECT_EQ(typed(KeyChord::Key::v), 1);
}

}  // namespace
