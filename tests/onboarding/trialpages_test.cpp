// The practice pages and the permissions page as shown: what they put on
// screen and how they answer clicks and typing.
#include "fakesettingslauncher.h"
#include "onboarding/completionpage.h"
#include "onboarding/permissioncardrow.h"
#include "onboarding/permissionspage.h"
#include "onboarding/trialagentsearchview.h"
#include "onboarding/trialfield.h"
#include "onboarding/trialrewriteeditableview.h"
#include "onboarding/trialrewritegenerateview.h"
#include "onboarding/trialrewritereadonlyview.h"
#include "onboarding/trialsampletext.h"
#include "onboarding/trialtranscribeview.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/selectionsnapshot.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/linux/qtwidgetelement.h"
#include "platform/virtualkeycodes.h"
#include "onboardingtest.h"

#include <QApplication>
#include <QTextCursor>

namespace {

RecordingResultStore& results() { return RecordingResultStore::shared(); }
void publish(const QString& result) { results().update(QStringLiteral("heard"), result, std::nullopt); }

class TrialPages : public ::testing::Test {
 protected:
  SharedStateGuard guard;
};

TEST_F(TrialPages, EveryNonEmptyResultReplacesTheFieldWhileThePageIsShown) {
  for (const bool dictation : {true, false}) {
    SCOPED_TRACE(dictation ? "dictation page" : "generation page");
    std::unique_ptr<TrialFillPage> page(dictation ? static_cast<TrialFillPage*>(new TrialTranscribeView(false, results()))
                                                  : new TrialRewriteGenerateView(false, results()));
    // A page shows the result of the moment when it appears.
    publish(QStringLiteral("from the exercise before"));
    EXPECT_EQ(page->fieldText(), QString());
    page->show();
    EXPECT_EQ(page->fieldText(), QStringLiteral("from the exercise before"));
    const QString said = QStringLiteral("The weather is great today");
    publish(said);
    EXPECT_EQ(shownTexts(*page).count(said), dictation ? 2 : 1) << "the dictation page repeats it under the field";

    // Typed text (after a click on the field's padding) goes, also when the new result equals the one before.
    page->activateWindow();
    QTest::mouseClick(page->field(), Qt::LeftButton, {}, QPoint(4, 4));
    ASSERT_TRUE(waitUntil([&] { return page->field()->isFocused(); }));
    QTest::keyClicks(page->field()->editor(), QStringLiteral(" and more"));
    publish(said);
    EXPECT_EQ(page->field()->text(), said);

    // A failure and an empty answer leave the field as it is; off screen the page does not listen.
    results().update(QString(), QString(), QStringLiteral("Network error"));
    publish(QString());
    results().reset();
    EXPECT_EQ(page->field()->text(), said);
    page->hide();
    publish(QStringLiteral("while hidden"));
    EXPECT_EQ(page->field()->text(), said);
    results().reset();
  }
}

TEST_F(TrialPages, TheEditableSampleFillsAnEmptyFieldOnlyWhenThePageIsShown) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  auto page = std::make_unique<TrialRewriteEditableView>(false);
  page->show();
  const QString english = currentStrings().obRwEdDefaultText;
  EXPECT_THAT(*page, Shows(english));
  EXPECT_FALSE(page->field()->isFocused() || page->field()->editor()->textCursor().hasSelection());

  // A language change keeps the field, even its sample, and a rewrite's result does not reach it.
  LanguageManager::shared().setCurrent(AppLanguage::ru);
  publish(QStringLiteral("rewritten"));
  EXPECT_EQ(page->fieldText(), english);

  // Emptied by the user it stays empty while the page is shown.
  page->field()->editor()->selectAll();
  QTest::keyClick(page->field()->editor(), Qt::Key_Delete);
  EXPECT_EQ(page->fieldText(), QString());

  // A page shown anew takes the sample of the language now in use.
  page = std::make_unique<TrialRewriteEditableView>(false);
  page->show();
  EXPECT_THAT(*page, Shows(currentStrings().obRwEdDefaultText));
}

TEST_F(TrialPages, TheHotKeyShownIsTheConfiguredOneElseTheDefault) {
  HotKeyManager& hotKeys = HotKeyManager::shared();
  const HotKeyConfigMap saved = hotKeys.configs();
  hotKeys.setConfig(HotKeyCombo::rewrite, {qint64(VirtualKeyCodes::kControlFlag | VirtualKeyCodes::kShiftFlag), 15, false});
  hotKeys.removeConfig(HotKeyCombo::agent);
  hotKeys.removeConfig(HotKeyCombo::transcribe);

  TrialRewriteReadonlyView rewrite(false);
  TrialAgentSearchView agent(false);
  TrialTranscribeView dictation(false, results());
  CompletionPage completion;
  for (QWidget* page : std::initializer_list<QWidget*>{&rewrite, &agent, &dictation, &completion}) page->show();
  EXPECT_THAT(rewrite, Shows("Ctrl+Shift+R"));
  EXPECT_THAT(agent, Shows("Alt+W"));
  EXPECT_THAT(dictation, Shows("Alt+Q"));
  EXPECT_EQ(completion.shownHotKeys(), (QStringList{"Alt+Q", "Ctrl+Shift+R", "Alt+W"}));
  // A change while shown is drawn at once.
  hotKeys.setConfig(HotKeyCombo::transcribe, {qint64(VirtualKeyCodes::kOptionFlag), 49, false});
  EXPECT_THAT(completion, Shows("Alt+Space"));
  EXPECT_THAT(dictation, Shows("Alt+Space"));
  for (HotKeyCombo combo : {HotKeyCombo::transcribe, HotKeyCombo::rewrite, HotKeyCombo::agent})
    saved.contains(combo) ? hotKeys.setConfig(combo, saved.value(combo)) : hotKeys.removeConfig(combo);
}

// The microphone is asked for once, then its settings open; the desktop trust is asked for and its
// settings opened at each press. The rows follow the statuses.
TEST_F(TrialPages, ThePermissionsPageAsksThenOpensTheSettingsAndFollowsTheStatuses) {
  using Authorization = MicrophoneAccess::Authorization;
  Clock::setTimeScaleForTesting(0.01);
  FakeAccessibilityTrust trust(false);
  FakeMicrophoneAccess microphone(Authorization::notDetermined);
  FakeSettingsLauncher settings;
  PermissionManager& permissions = PermissionManager::shared();
  permissions.refresh();
  PermissionsPage page(permissions);
  page.show();
  microphone.grantOnRequest = false;
  click(page.microphoneRow()->authorizeButton());
  EXPECT_TRUE(waitUntil([&] { return permissions.microphoneStatus() == PermissionStatus::denied; }));
  EXPECT_TRUE(settings.opened.isEmpty());
  click(page.microphoneRow()->authorizeButton());
  EXPECT_EQ(microphone.requests, 1);
  EXPECT_EQ(settings.opened, QList<SettingsLauncher::Pane>{SettingsLauncher::Pane::microphone});
  settings.opened.clear();
  for (int press = 1; press <= 2; ++press) {
    click(page.accessibilityRow()->authorizeButton());
    EXPECT_EQ(permissions.accessibilityStatus(), PermissionStatus::denied);
    EXPECT_TRUE(waitUntil([&] { return settings.opened.size() == press; }));
  }
  EXPECT_EQ(settings.opened, (QList<SettingsLauncher::Pane>(2, SettingsLauncher::Pane::accessibility)));

  const AppStrings& s = currentStrings();
  const struct { const char* name; bool trusted; Authorization microphone; int authorizeButtons, oks; } cases[] = {
      {"nothing granted", false, Authorization::denied, 2, 0},
      {"the microphone", false, Authorization::authorized, 1, 1},
      {"both", true, Authorization::authorized, 0, 2},
      {"a restricted microphone counts as refused", true, Authorization::restricted, 1, 1},
  };
  for (const auto& c : cases) {
    trust.trusted = c.trusted;
    microphone.status = c.microphone;
    permissions.refresh();
    const QStringList shown = shownTexts(page);
    EXPECT_EQ(shown.count(s.permGoAuth), c.authorizeButtons) << c.name;
    EXPECT_EQ(shown.count(s.statusOk), c.oks) << c.name;
    EXPECT_EQ(shown.contains(s.onboardingPermAllDone), c.oks == 2) << c.name;
    EXPECT_EQ(shown.contains(s.onboardingPermRefresh), c.oks != 2) << c.name;
  }
}

// What the request flow reads as selected when the hotkey is pressed on a practice page.
class PracticeSelection : public ::testing::Test {
 protected:
  PracticeSelection() { Accessibility::install(&accessibility); }
  ~PracticeSelection() override { Accessibility::install(nullptr); }

  // Shows `page`, focuses `widget` and selects `length` characters from `start`.
  template <typename Edit>
  void selectIn(QWidget& page, Edit* widget, int start, int length) {
    page.show(), page.activateWindow(), widget->setFocus();
    ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == widget && QtWidgetElement::thisProcessIsInFront(); }));
    QTextCursor cursor = widget->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    widget->setTextCursor(cursor);
  }

  FakeAccessibilityTrust trust{true};
  AtspiAccessibility accessibility;
};

TEST_F(PracticeSelection, TheSampleIsAFixedSelectionAndTheExerciseFieldAnEditableOne) {
  TrialRewriteReadonlyView readonly(false);
  selectIn(readonly, readonly.sample()->textView(), 4, 11);
  std::optional<SelectionSnapshot> snapshot = SelectionSnapshot::capture();
  ASSERT_TRUE(snapshot);
  const QString sample = readonly.sample()->textView()->toPlainText();
  EXPECT_THAT(readonly, Shows(sample));
  EXPECT_EQ(snapshot->text, sample.mid(4, 11));
  EXPECT_EQ(snapshot->isEditable, false);
  QTest::keyClicks(readonly.sample()->textView(), QStringLiteral("typed\b"));
  EXPECT_EQ(readonly.sample()->textView()->toPlainText(), sample) << "it cannot be changed";
  readonly.hide();

  TrialRewriteEditableView editable(false);
  selectIn(editable, editable.field()->editor(), 0, 15);
  snapshot = SelectionSnapshot::capture();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->text, editable.field()->editor()->toPlainText().left(15));
  EXPECT_EQ(snapshot->isEditable, true);
}

}  // namespace
