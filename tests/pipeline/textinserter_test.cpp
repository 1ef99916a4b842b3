// Putting a result where the user was typing: when to paste, when to show the
// panel instead, the check of a paste into a field nobody could classify, and
// what the user is told when the desktop does not let us type.
#include "pipeline/permissionhelpdialog.h"
#include "pipeline/systemsettings.h"
#include "pipeline/textinserter.h"

#include "awaittask.h"
#include "fakeaccessibilitytrust.h"
#include "fakefrontapplication.h"
#include "fakepasteboard.h"
#include "fakesettingslauncher.h"
#include "fakesynthetickeyboard.h"
#include "pipelinestate.h"
#include "printing.h"
#include "recordingoverlaypresenter.h"
#include "tracelines.h"

#include "localization/desktophelpstrings.h"
#include "localization/languagemanager.h"

#include <QMessageBox>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTimer>

#include <gmock/gmock.h>

using ::testing::IsEmpty;

namespace {

constexpr qint32 kEditorPid = 77;
const QString kUsersClipboard = QStringLiteral("the user's own clipboard");

class TextInsertion : public PipelineTest {
 protected:
  void SetUp() override {
    PipelineTest::SetUp();
    Clock::setTimeScaleForTesting(0.1);
    pasteboard.copy({FakePasteboard::textItem(kUsersClipboard)});
  }
  static SelectionSnapshot snapshot(const QString& text, std::optional<bool> editable) {
    SelectionSnapshot taken;
    taken.text = text;
    taken.isEditable = editable;
    taken.source = SelectionSnapshot::Source::cmdCopy;
    return taken;
  }
  qsizetype typed(const KeyChord& chord) const {
    return std::count(keyboard.chords.cbegin(), keyboard.chords.cend(), chord);
  }
  const KeyChord kPaste = KeyChord::shiftInsert();
  // Waits until every timer due within `ms` of the inserter's time has run:
  // a check of the paste that was to come has come by then.
  static bool passed(int ms) {
    QObject context;
    bool due = false;
    QTimer::singleShot(Clock::scaledMs(ms) + 1, &context, [&due] { due = true; });
    return waitUntil([&due] { return due; });
  }

  FakeAccessibilityTrust trust{true};
  FakeFrontApplication front{FakeFrontApplication::named(QStringLiteral("Editor"), kEditorPid)};
  FakePasteboard pasteboard;
  FakeSyntheticKeyboard keyboard;
  RecordingOverlayPresenter overlays;
  TextInserter inserter;
};

TEST_F(TextInsertion, TheSelectionDecidesBetweenPastingAndShowingTheResult) {
  const struct {
    const char* name;
    QString result;
    std::optional<QString> selected;
    std::optional<SelectionSnapshot> taken;
    std::optional<QString> clipboardAfter;  // nothing: left as the user had it
    int pastes;
    QStringList panels;
  } rows[] = {
      {"no selection", "Hello", std::nullopt, std::nullopt, "Hello", 1, {}},
      {"empty selection", "Hello", QString(), std::nullopt, "Hello", 1, {}},
      {"no selection, empty result", "", std::nullopt, std::nullopt, std::nullopt, 0, {}},
      {"result repeats the selection", " same words\n", "same words", snapshot("same words", true), std::nullopt, 0, {}},
      {"selection without a snapshot", "new", "old", std::nullopt, "new", 1, {}},
      {"editable field", "new", "old", snapshot("old", true), "new", 1, {}},
      {"read-only text", "new", "old", snapshot("old", false), std::nullopt, 0, {"result plain new"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    pasteboard.copy({FakePasteboard::textItem(kUsersClipboard)});
    keyboard.chords.clear();
    overlays.calls.clear();
    inserter.insert(row.result, row.selected, row.taken, kEditorPid);
    EXPECT_TRUE(waitUntil([&] { return typed(kPaste) == row.pastes; })) << typed(kPaste);
    EXPECT_EQ(pasteboard.string(), row.clipboardAfter.value_or(kUsersClipboard));
    EXPECT_EQ(pasteboard.itemCount(), 1);
    EXPECT_EQ(overlays.calls, row.panels);
  }
  // During the onboarding the result only reaches the clipboard.
  keyboard.chords.clear();
  inserter.setSkipSystemPaste(true);
  inserter.insert(QStringLiteral("practice"), std::nullopt, std::nullopt, kEditorPid);
  EXPECT_EQ(pasteboard.string(), QStringLiteral("practice"));
  EXPECT_THAT(keyboard.chords, IsEmpty());
}

// A copy that brings nothing back proves nothing: a paste over the selection
// leaves nothing selected in most editors, and an application that ignored
// both keys (or dropped its highlight on the paste) leaves the same. The trace
// says so; the result stays on the clipboard, with no panel.
TEST_F(TextInsertion, APasteIntoAnUnclassifiedFieldIsCheckedAndShownWhenItDidNotLand) {
  const QString unverified = QStringLiteral("pasteAndVerify: the copy brought nothing back, the paste could not be verified");
  const QString landed = QStringLiteral("pasteAndVerify: paste succeeded or text changed, keeping paste result");
  const QString failed = QStringLiteral("pasteAndVerify: paste failed (text unchanged), showing overlay");
  const struct {
    const char* name;
    std::optional<QString> copied;  // what the field holds when copied again; nothing: the copy is ignored
    QStringList panels;
    QString verdict;
  } rows[] = {
      {"the application ignored the paste", QStringLiteral("old words "), {"result plain new words"}, failed},
      {"the field now holds other text", QStringLiteral("something else"), {}, landed},
      {"the application ignores the copy", std::nullopt, {}, unverified},
      {"the copy finds no text", QString(), {}, unverified},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    keyboard.chords.clear();
    overlays.calls.clear();
    pasteboard.copy({FakePasteboard::textItem(QStringLiteral("new words"))});  // as the paste left it
    const std::optional<QString> copied = row.copied;
    keyboard.onChord = [this, copied](const KeyChord& chord) {
      if (chord == KeyChord::controlInsert() && copied) pasteboard.copy({FakePasteboard::textItem(*copied)});
    };
    const qsizetype traced = traceLines().size();
    awaitTask(inserter.pasteAndVerify(kEditorPid, QStringLiteral("old words"), QStringLiteral("new words")));
    EXPECT_EQ(typed(KeyChord::controlInsert()), 1);
    EXPECT_EQ(overlays.calls, row.panels);
    EXPECT_EQ(traceLines().mid(traced).filter(QRegularExpression(QStringLiteral("^pasteAndVerify: (paste|the copy)"))),
              QStringList{row.verdict});
    EXPECT_EQ(pasteboard.string(), QStringLiteral("new words"));
  }
  // The decision to check: a paste into a field nobody could classify.
  keyboard.onChord = [this](const KeyChord& chord) {
    if (chord == KeyChord::controlInsert()) pasteboard.copy({FakePasteboard::textItem(QStringLiteral("old words "))});
  };
  keyboard.chords.clear();
  overlays.calls.clear();
  pasteboard.copy({FakePasteboard::textItem(kUsersClipboard)});
  inserter.insert(QStringLiteral("new words"), QStringLiteral(" old words"), snapshot("old words", std::nullopt), kEditorPid);
  EXPECT_TRUE(waitUntil([&] { return typed(kPaste) == 1; }));
  ASSERT_TRUE(waitUntil([&] { return !overlays.calls.isEmpty(); }));
  EXPECT_EQ(overlays.calls, QStringList{"result plain new words"});
  EXPECT_EQ(pasteboard.string(), QStringLiteral("new words")) << "the result again, not the copied selection";
}

// GNOME Terminal and MATE Terminal ask the clipboard's new owner for its
// formats whenever it changes hands, and paste only what the answer allowed:
// the paste key waits until the program in front has asked. A program learnt
// to ask (it asked before the key at its last paste) is waited for up to a
// second, also when busy; any other up to 60 ms, so that a question that
// comes later than that finds the key gone.
TEST_F(TextInsertion, ThePasteKeyWaitsForAProgramThatAsksForTheClipboardsFormatsAtEveryChange) {
  constexpr int kBusy = 400;  // of the inserter's time: well past 60 ms, well within a second
  std::optional<int> asksAfter;
  QObject context;
  pasteboard.onWrite = [&] {
    if (asksAfter) {
      QTimer::singleShot(Clock::scaledMs(*asksAfter), &context, [&] { ++pasteboard.formatsAsked[kEditorPid]; });
    }
  };
  qint64 askedAtKey = 0;
  keyboard.onChord = [&](const KeyChord&) { askedAtKey = pasteboard.formatsAsked.value(kEditorPid); };
  const struct {
    const char* name;
    std::optional<int> asksAfter;  // nothing: it does not ask
    bool askedBeforeKey;
  } pastes[] = {
      {"not known to ask, asks late", kBusy, false},
      {"asks at once: learnt", 0, true},
      {"known to ask, asks late", kBusy, true},
      {"known to ask, asks no more", std::nullopt, false},
      {"forgotten, asks late", kBusy, false},
  };
  for (const auto& paste : pastes) {
    SCOPED_TRACE(paste.name);
    asksAfter = paste.asksAfter;
    ASSERT_TRUE(passed(kBusy + 100));  // a question still to come from the paste before has come
    const qint64 before = pasteboard.formatsAsked.value(kEditorPid);
    keyboard.chords.clear();
    EXPECT_TRUE(awaitTask(inserter.pasteText(QStringLiteral("said"), kEditorPid)));
    EXPECT_EQ(typed(kPaste), 1);
    EXPECT_EQ(askedAtKey > before, paste.askedBeforeKey);
  }
}

TEST_F(TextInsertion, WhenNoKeysCanReachTheTargetThePanelShowsTheResult) {
  const struct {
    const char* name;
    RunningApplication inFront;
    std::optional<SelectionSnapshot> taken;
  } rows[] = {
      {"another application took the focus", FakeFrontApplication::named(QStringLiteral("Mail"), 99), std::nullopt},
      {"unclassified field, focus gone", FakeFrontApplication::named(QStringLiteral("Mail"), 99), snapshot("old", std::nullopt)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    front.app = row.inFront;
    keyboard.chords.clear();
    overlays.calls.clear();
    inserter.insert(QStringLiteral("new"), row.taken ? std::optional<QString>(QStringLiteral("old")) : std::nullopt,
                    row.taken, kEditorPid);
    ASSERT_TRUE(passed(600));  // no check follows, and no second panel
    EXPECT_THAT(keyboard.chords, IsEmpty());
    EXPECT_EQ(pasteboard.string(), QStringLiteral("new")) << "still on the clipboard too";
    EXPECT_EQ(overlays.calls, QStringList{"result plain new"});
  }
}

// xterm and its kin paste PRIMARY on Shift+Insert: the result is lent to
// PRIMARY until the terminal has read it (or has not for a while), then the
// user's highlight of before returns, unless the user highlighted anew. So
// for every application whose paste is Shift+Insert (a terminal in a web page
// pastes PRIMARY too), but where the paste replaces a selection, which is
// PRIMARY itself: GTK drops a selection that loses PRIMARY, and the paste
// would land beside it.
TEST_F(TextInsertion, IntoXtermTheResultIsLentToPrimaryAndTheUsersHighlightReturns) {
  FakePasteboard primary{FakePasteboard::Slot::primarySelection};
  const QString highlight = QStringLiteral("the user's highlight");
  const auto primaryText = [&] { return primary.string().value_or(QString()); };
  primary.copy({FakePasteboard::textItem(highlight)});
  front.app = RunningApplication{kEditorPid, QStringLiteral("XTerm"), QStringLiteral("xterm"), QStringLiteral("XTerm")};

  // Two pastes before the terminal reads the first.
  awaitTask(inserter.pasteText(QStringLiteral("one"), kEditorPid));
  awaitTask(inserter.pasteText(QStringLiteral("two"), kEditorPid));
  EXPECT_EQ(keyboard.chords, (QList<KeyChord>{KeyChord::shiftInsert(), KeyChord::shiftInsert()}));
  EXPECT_EQ(primaryText(), QStringLiteral("two"));
  ++primary.reads;  // as xterm does a moment after the key
  EXPECT_TRUE(waitUntil([&] { return primaryText() == highlight; }));

  // A terminal that never asks.
  awaitTask(inserter.pasteText(QStringLiteral("three"), kEditorPid));
  EXPECT_TRUE(waitUntil([&] { return primaryText() == highlight; }));

  awaitTask(inserter.pasteText(QStringLiteral("four"), kEditorPid));
  primary.copy({FakePasteboard::textItem(QStringLiteral("highlighted meanwhile"))});
  ++primary.reads;
  ASSERT_TRUE(passed(1100));
  EXPECT_EQ(primaryText(), QStringLiteral("highlighted meanwhile"));

  front.app = FakeFrontApplication::named(QStringLiteral("Editor"), kEditorPid);
  awaitTask(inserter.pasteText(QStringLiteral("plain"), kEditorPid));
  EXPECT_EQ(primaryText(), QStringLiteral("plain"));
  EXPECT_TRUE(waitUntil([&] { return primaryText() == QStringLiteral("highlighted meanwhile"); }));
  primary.writes = 0;
  awaitTask(inserter.pasteText(QStringLiteral("over"), kEditorPid, QStringLiteral("selected")));
  front.app = FakeFrontApplication::named(QStringLiteral("Konsole"), kEditorPid);
  awaitTask(inserter.pasteText(QStringLiteral("shifted"), kEditorPid));
  EXPECT_EQ(primary.writes, 0);
  EXPECT_EQ(keyboard.chords.mid(keyboard.chords.size() - 2),
            (QList<KeyChord>{KeyChord::shiftInsert(), KeyChord{KeyChord::Key::v, true}}));
}

// Emacs and Tk paste beside a selection: the text an answer replaces is cut
// first (their cut, which puts it on the clipboard), but only while it surely
// is still the selection: PRIMARY held by the application with exactly that
// text, and the application's copy finding exactly that text again (Emacs
// copies whatever lies between mark and cursor). A lost selection costs no
// character, and the answer is pasted all the same.
TEST_F(TextInsertion, BesideASelectionTheTextIsCutFirstOnlyWhileItIsSurelyStillSelected) {
  FakePasteboard primary{FakePasteboard::Slot::primarySelection};
  RunningApplication tk = FakeFrontApplication::named(QStringLiteral("Notes"), kEditorPid);
  tk.tk = true;
  const RunningApplication emacs = FakeFrontApplication::named(QStringLiteral("Emacs"), kEditorPid);
  const struct {
    const char* name;
    RunningApplication app;
    std::optional<qint32> primaryOwner;
    QString onPrimary;
    QString copies;  // what its copy and cut keys take
    bool cut;
  } rows[] = {
      {"Tk, the word still selected", tk, kEditorPid, "old", "old", true},
      {"Emacs, the word still between mark and cursor", emacs, kEditorPid, "old", "old", true},
      {"a click cleared Tk's selection", tk, kEditorPid, "", "", false},
      {"another word selected since", tk, kEditorPid, "other", "other", false},
      {"another application took PRIMARY", emacs, 99, "old", "old", false},
      {"the cursor moved in Emacs", emacs, kEditorPid, "old", "old words", false},
      {"an application that replaces on paste", FakeFrontApplication::named(QStringLiteral("Gedit"), kEditorPid),
       kEditorPid, "old", "old", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    front.app = row.app;
    primary.ownerPid = row.primaryOwner;
    primary.copy({FakePasteboard::textItem(row.onPrimary)});
    keyboard.chords.clear();
    const QString copies = row.copies;
    keyboard.onChord = [this, copies](const KeyChord& chord) {
      if (!copies.isEmpty() && (chord == KeyChord::controlInsert() || chord == KeyChord::shiftDelete()))
        pasteboard.copy({FakePasteboard::textItem(copies)});
    };
    EXPECT_TRUE(awaitTask(inserter.pasteText(QStringLiteral("new"), kEditorPid, QStringLiteral("old"))));
    EXPECT_EQ(typed(KeyChord::shiftDelete()), row.cut ? 1 : 0);
    EXPECT_EQ(keyboard.chords.value(keyboard.chords.size() - 1), kPaste);
    EXPECT_EQ(pasteboard.string(), QStringLiteral("new")) << "the answer on the clipboard for the paste";
  }
}

TEST_F(TextInsertion, WithoutTheDesktopsTrustTheUserIsAskedOnceUntilTheTrustReturns) {
  trust.trusted = false;
  awaitTask(inserter.pasteText(QStringLiteral("first"), kEditorPid));
  EXPECT_EQ(pasteboard.string(), QStringLiteral("first"));
  EXPECT_TRUE(inserter.fillPermissionDenied());
  ASSERT_NE(PermissionHelpDialog::current(), nullptr);
  EXPECT_TRUE(PermissionHelpDialog::current()->isVisible());
  delete PermissionHelpDialog::current();

  awaitTask(inserter.pasteText(QStringLiteral("second"), kEditorPid));  // not asked again
  EXPECT_EQ(pasteboard.string(), QStringLiteral("second"));
  EXPECT_EQ(PermissionHelpDialog::current(), nullptr);
  EXPECT_THAT(keyboard.chords, IsEmpty());

  trust.trusted = true;  // granted in the desktop's settings meanwhile
  awaitTask(inserter.pasteText(QStringLiteral("third"), kEditorPid));
  EXPECT_EQ(typed(kPaste), 1);
  EXPECT_FALSE(inserter.fillPermissionDenied());
  trust.trusted = false;  // and lost again: the user hears about it again
  awaitTask(inserter.pasteText(QStringLiteral("fourth"), kEditorPid));
  EXPECT_NE(PermissionHelpDialog::current(), nullptr);
  EXPECT_EQ(typed(kPaste), 1);
}

TEST_F(TextInsertion, SettingsOpenTheirPaneOrAHelpDialogInTheInterfaceLanguage) {
  {
    FakeSettingsLauncher launcher;
    openSystemURL(kMicrophoneSettingsAddress);
    openAccessibilitySettings();
    openSystemURL(QStringLiteral("https://example.com"));
    EXPECT_EQ(launcher.opened, (QList<SettingsLauncher::Pane>{SettingsLauncher::Pane::microphone,
                                                               SettingsLauncher::Pane::accessibility}));
    EXPECT_EQ(PermissionHelpDialog::current(), nullptr);
  }
  FakeSettingsLauncher missing(false);
  const AppLanguage before = LanguageManager::shared().current();
  const auto restore = qScopeGuard([before] { LanguageManager::shared().setCurrent(before); });
  LanguageManager::shared().setCurrent(AppLanguage::ko);
  openMicrophoneSettings();
  QMessageBox* dialog = PermissionHelpDialog::current();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal()) << "the hotkeys keep working while it is open";
  EXPECT_EQ(dialog->windowTitle(), desktopHelpStrings(AppLanguage::ko).microphoneSettingsTitle);
  EXPECT_EQ(dialog->text(), desktopHelpStrings(AppLanguage::ko).microphoneSettingsText);
  openAccessibilitySettings();
  EXPECT_EQ(PermissionHelpDialog::current(), dialog) << "one dialog, reused";
  EXPECT_EQ(dialog->windowTitle(), desktopHelpStrings(AppLanguage::ko).accessibilitySettingsTitle);
  EXPECT_EQ(dialog->text(), desktopHelpStrings(AppLanguage::ko).accessibilitySettingsText);
}

}  // namespace
