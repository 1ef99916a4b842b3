#include "awaittask.h"
#include "core/clock.h"
#include "fakeaccessibilitytrust.h"
#include "fakemicrophoneaccess.h"
#include "fakesettingslauncher.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/plainbutton.h"
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
#include "pipeline/permissionmanager.h"
#include "pipeline/recordingresultstore.h"
#include "platform/virtualkeycodes.h"
#include "theme/neonbutton.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <memory>

namespace {

RecordingResultStore& results() { return RecordingResultStore::shared(); }

void publish(const QString& result) { results().update(QStringLiteral("heard"), result, std::nullopt); }

TEST(FillPages, EveryNonEmptyResultReplacesTheField) {
  for (const bool dictation : {true, false}) {
    SCOPED_TRACE(dictation ? "dictation page" : "generation page");
    std::unique_ptr<TrialFillPage> page;
    if (dictation) {
      page = std::make_unique<TrialTranscribeView>(false, results());
    } else {
      page = std::make_unique<TrialRewriteGenerateView>(false, results());
    }
    page->show();
    EXPECT_EQ(page->fieldText(), QString());

    publish(QStringLiteral("The weather is great today"));
    EXPECT_EQ(page->fieldText(), QStringLiteral("The weather is great today"));

    // Typed text goes, also when the new result equals the one before.
    QTest::keyClicks(page->field()->editor(), QStringLiteral(" and more"));
    publish(QStringLiteral("The weather is great today"));
    EXPECT_EQ(page->fieldText(), QStringLiteral("The weather is great today"));

    // A failure and an empty answer leave the field as it is.
    results().update(QString(), QString(), QStringLiteral("Network error"));
    publish(QString());
    results().reset();
    EXPECT_EQ(page->fieldText(), QStringLiteral("The weather is great today"));

    // Off screen the page does not listen.
    page->hide();
    publish(QStringLiteral("while hidden"));
    EXPECT_EQ(page->fieldText(), QStringLiteral("The weather is great today"));
    results().reset();
  }
}

TEST(FillPages, ANewPageShowsTheResultOfTheMomentAtOnce) {
  publish(QStringLiteral("from the dictation exercise"));
  TrialRewriteGenerateView page(false, results());
  EXPECT_EQ(page.fieldText(), QString());
  page.show();
  EXPECT_EQ(page.fieldText(), QStringLiteral("from the dictation exercise"));
}

TEST(FillPages, TheDictationPageRepeatsItsTextUnderTheField) {
  TrialTranscribeView page(false, results());
  page.show();
  ASSERT_NE(page.resultEcho(), nullptr);
  EXPECT_FALSE(page.resultEcho()->isVisibleTo(&page));
  publish(QStringLiteral("hello there"));
  EXPECT_TRUE(page.resultEcho()->isVisibleTo(&page));
  EXPECT_EQ(page.resultEcho()->text(), QStringLiteral("hello there"));

  TrialRewriteGenerateView generation(false, results());
  EXPECT_EQ(generation.resultEcho(), nullptr);
}

TEST(FillPages, AClickOnTheFieldsPaddingFocusesTheEditor) {
  TrialTranscribeView page(false, results());
  page.show();
  page.activateWindow();
  TrialField* field = page.field();
  ASSERT_FALSE(field->isFocused());
  QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, 4));
  EXPECT_TRUE(waitUntil([&] { return field->isFocused(); }));
}

TEST(EditablePage, TheSampleFillsAnEmptyFieldOnlyWhenThePageIsShown) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  auto page = std::make_unique<TrialRewriteEditableView>(false);
  page->show();
  const QString english = currentStrings().obRwEdDefaultText;
  EXPECT_EQ(page->fieldText(), english);
  EXPECT_FALSE(page->field()->isFocused());
  EXPECT_FALSE(page->field()->editor()->textCursor().hasSelection());

  // A language change keeps the field, even the previous language's sample.
  LanguageManager::shared().setCurrent(AppLanguage::ru);
  EXPECT_EQ(page->fieldText(), english);

  // A rewrite's result does not reach the field.
  publish(QStringLiteral("rewritten"));
  EXPECT_EQ(page->fieldText(), english);

  // Emptied by the user it stays empty while the page is shown.
  page->field()->setText(QString());
  EXPECT_EQ(page->fieldText(), QString());

  // A page shown anew takes the sample of the language now in use.
  page = std::make_unique<TrialRewriteEditableView>(false);
  page->show();
  EXPECT_EQ(page->fieldText(), currentStrings().obRwEdDefaultText);
}

TEST(ReadonlyPage, TheSampleCanBeSelectedButNotChanged) {
  TrialRewriteReadonlyView page(false);
  page.show();
  QTextEdit* sample = page.sample()->textView();
  const QString before = page.sample()->sample();
  EXPECT_TRUE(sample->isReadOnly());
  EXPECT_TRUE(sample->textInteractionFlags() & Qt::TextSelectableByMouse);
  sample->setFocus();
  QTest::keyClicks(sample, QStringLiteral("typed"));
  QTest::keyClick(sample, Qt::Key_Backspace);
  EXPECT_EQ(page.sample()->sample(), before);
  sample->selectAll();
  EXPECT_EQ(sample->textCursor().selectedText(), before);
}

TEST(PracticePages, TheHotKeyShownIsTheConfiguredOneElseTheDefault) {
  HotKeyManager& hotKeys = HotKeyManager::shared();
  hotKeys.setConfig(HotKeyCombo::rewrite,
                    {qint64(VirtualKeyCodes::kControlFlag | VirtualKeyCodes::kShiftFlag), 15, false});
  hotKeys.removeConfig(HotKeyCombo::agent);

  TrialRewriteReadonlyView rewrite(false);
  TrialAgentSearchView agent(false);
  TrialTranscribeView dictation(false, results());
  EXPECT_EQ(rewrite.shownHotKey(), QStringLiteral("Ctrl+Shift+R"));
  EXPECT_EQ(agent.shownHotKey(), QStringLiteral("Alt+W"));
  EXPECT_EQ(dictation.shownHotKey(), QStringLiteral("Alt+Q"));

  CompletionPage completion;
  EXPECT_EQ(completion.shownHotKeys(), (QStringList{"Alt+Q", "Ctrl+Shift+R", "Alt+W"}));
  hotKeys.setConfig(HotKeyCombo::transcribe, {qint64(VirtualKeyCodes::kOptionFlag), 49, false});
  EXPECT_EQ(completion.shownHotKeys(), (QStringList{"Alt+Space", "Ctrl+Shift+R", "Alt+W"}));
}

TEST(PracticePages, ALanguageChangeRedrawsEveryText) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  TrialAgentSearchView page(false);
  LanguageManager::shared().setCurrent(AppLanguage::zhHant);
  const AppStrings& strings = currentStrings();
  EXPECT_EQ(page.shownTitle(), strings.obAgSearchTitle);
  EXPECT_EQ(page.shownInstructions(), (QStringList{strings.obAgSearchI1, strings.obAgSearchI2, strings.obAgSearchI3}));
  EXPECT_EQ(page.shownExamples().first(), QStringLiteral("「") + strings.obAgSearchEx1 + QStringLiteral("」"));
}

class PermissionsPageTest : public ::testing::Test {
 protected:
  void SetUp() override { Clock::setTimeScaleForTesting(0.01); }
  void TearDown() override { Clock::setTimeScaleForTesting(1.0); }

  FakeAccessibilityTrust trust{false};
  FakeMicrophoneAccess microphone{MicrophoneAccess::Authorization::notDetermined};
  FakeSettingsLauncher settings;
};

TEST_F(PermissionsPageTest, TheMicrophoneIsAskedForOnceThenItsSettingsOpen) {
  PermissionManager& permissions = PermissionManager::shared();
  permissions.refresh();
  PermissionsPage page(permissions);
  microphone.grantOnRequest = false;
  page.microphoneRow()->authorizeButton()->click();
  EXPECT_TRUE(waitUntil([&] { return permissions.microphoneStatus() == PermissionStatus::denied; }));
  EXPECT_EQ(microphone.requests, 1);
  EXPECT_TRUE(settings.opened.isEmpty());

  page.microphoneRow()->authorizeButton()->click();
  EXPECT_EQ(microphone.requests, 1);
  EXPECT_EQ(settings.opened, QList<SettingsLauncher::Pane>{SettingsLauncher::Pane::microphone});
}

TEST_F(PermissionsPageTest, EachAccessibilityPressAsksThenOpensItsSettings) {
  PermissionManager& permissions = PermissionManager::shared();
  PermissionsPage page(permissions);
  for (int press = 1; press <= 2; ++press) {
    page.accessibilityRow()->authorizeButton()->click();
    EXPECT_EQ(permissions.accessibilityStatus(), PermissionStatus::denied);
    EXPECT_TRUE(waitUntil([&] { return settings.opened.size() == press; }));
  }
  EXPECT_EQ(settings.opened,
            (QList<SettingsLauncher::Pane>{SettingsLauncher::Pane::accessibility, SettingsLauncher::Pane::accessibility}));
}

TEST_F(PermissionsPageTest, ThePageFollowsTheStatuses) {
  PermissionManager& permissions = PermissionManager::shared();
  PermissionsPage page(permissions);
  page.show();
  permissions.refresh();
  EXPECT_TRUE(page.refreshButton()->isVisibleTo(&page));
  EXPECT_FALSE(page.allGrantedLine()->isVisibleTo(&page));
  EXPECT_TRUE(page.accessibilityRow()->authorizeButton()->isVisibleTo(&page));

  trust.trusted = true;
  microphone.status = MicrophoneAccess::Authorization::authorized;
  permissions.refresh();
  EXPECT_FALSE(page.refreshButton()->isVisibleTo(&page));
  EXPECT_TRUE(page.allGrantedLine()->isVisibleTo(&page));
  for (PermissionCardRow* row : {page.microphoneRow(), page.accessibilityRow()}) {
    EXPECT_FALSE(row->authorizeButton()->isVisibleTo(&page));
    EXPECT_TRUE(row->okLabel()->isVisibleTo(&page));
  }

  // A restricted microphone counts as refused: Authorize returns.
  microphone.status = MicrophoneAccess::Authorization::restricted;
  permissions.refresh();
  EXPECT_TRUE(page.microphoneRow()->authorizeButton()->isVisibleTo(&page));
  EXPECT_TRUE(page.refreshButton()->isVisibleTo(&page));
}

}  // namespace
