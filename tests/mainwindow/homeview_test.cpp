#include "mainwindow/homeview.h"

#include "historyrecords.h"
#include "localization/appstrings.h"
#include "mainwindow/hotkeysummary.h"
#include "mainwindow/latestrecordsection.h"
#include "mainwindow/plainbutton.h"
#include "mainwindowtest.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionmanager.h"
#include "platform/virtualkeycodes.h"
#include "service/authstore.h"
#include "theme/neonbutton.h"
#include "theme/neoncard.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

using HomeViewTest = MainWindowServiceTest;

TEST_F(HomeViewTest, TheWarningFollowsThePermissionsWithoutAnyAction) {
  trust.trusted = false;
  HomeView view;
  view.show();  // coming on screen looks at the permissions
  EXPECT_TRUE(view.warningButton()->isVisibleTo(&view));
  EXPECT_EQ(view.warningButton()->text(), currentStrings().btnWarn);

  // Granted in the permission window; the model's own refresh is enough.
  trust.trusted = true;
  PermissionManager::shared().refresh();
  EXPECT_FALSE(view.warningButton()->isVisibleTo(&view));
}

TEST_F(HomeViewTest, HotkeysShowTheirOwnConfigurationOrTheDefault) {
  EXPECT_EQ(HotKeySummary::shownConfig({}, HotKeyCombo::transcribe).displayString(), "Alt+Q");
  EXPECT_EQ(HotKeySummary::shownConfig({}, HotKeyCombo::rewrite).displayString(), "Alt+E");
  EXPECT_EQ(HotKeySummary::shownConfig({}, HotKeyCombo::agent).displayString(), "Alt+W");

  HomeView view;
  HotKeyManager::shared().setConfig(HotKeyCombo::rewrite,
                                    HotKeyConfig{qint64(VirtualKeyCodes::kControlFlag | VirtualKeyCodes::kShiftFlag), 49, false});
  HotKeyManager::shared().removeConfig(HotKeyCombo::agent);
  const HotKeySummary& summary = *view.hotKeySummary();
  EXPECT_EQ(summary.keyText(HotKeyCombo::transcribe), "Alt+Q");
  EXPECT_EQ(summary.keyText(HotKeyCombo::rewrite), "Ctrl+Shift+Space");
  EXPECT_EQ(summary.keyText(HotKeyCombo::agent), "Alt+W");
  EXPECT_EQ(summary.description(HotKeyCombo::agent), currentStrings().hotkeyAgent);
}

TEST_F(HomeViewTest, TheLatestRecordShowsWhatBecameOfIt) {
  const QString audio = makeAudioFile(TestEnvironment::root() + QStringLiteral("/audio/kept.wav"));
  struct Row {
    const char* name;
    RecognitionStatus status;
    std::optional<QString> transcript;
    std::optional<QString> result;
    std::optional<QString> actionType;
    std::optional<QString> audioFilePath;
    bool retryable;
    QStringList texts;  // besides the header
    bool markdown;
    bool retry;
  };
  const AppStrings& strings = currentStrings();
  const std::vector<Row> rows{
      {"pending", RecognitionStatus::pending, {}, {}, {}, {}, false, {strings.recognizing}, false, false},
      {"processing", RecognitionStatus::processing, {}, {}, {}, {}, false, {strings.recognizing}, false, false},
      {"empty success", RecognitionStatus::success, "", "", {}, {}, false, {}, false, false},
      {"plain result", RecognitionStatus::success, "heard", "answer", {}, {}, false,
       {strings.labelTranscript, "heard", strings.labelResult, "answer"}, false, false},
      {"markdown", RecognitionStatus::success, {}, "# Found", "show_markdown", {}, false, {strings.labelResult}, true,
       false},
      {"not quite markdown", RecognitionStatus::success, {}, "# Found", "SHOW_MARKDOWN", {}, false,
       {strings.labelResult, "# Found"}, false, false},
      // The audio decides, not the record's own flag.
      {"failed with audio", RecognitionStatus::failed, {}, {}, {}, audio, false, {strings.recognizeFailed}, false, true},
      {"failed, audio gone", RecognitionStatus::failed, {}, {}, {}, audio + ".gone", true, {strings.recognizeFailed},
       false, false},
  };
  HomeView view;
  view.show();
  EXPECT_FALSE(view.latestRecord()->isVisibleTo(&view));
  for (const Row& row : rows) {
    RecordingHistory record = makeRecord(row.status);
    record.transcript = row.transcript;
    record.result = row.result;
    record.actionType = row.actionType;
    record.audioFilePath = row.audioFilePath;
    record.retryable = row.retryable;
    HistoryStore::shared().addRecord(record);
    const LatestRecordSection& latest = *view.latestRecord();
    ASSERT_TRUE(latest.isVisibleTo(&view)) << row.name;
    EXPECT_EQ(latest.record()->id, record.id);
    EXPECT_EQ(shownTexts(*latest.card()), row.texts) << row.name;
    EXPECT_EQ(latest.markdownView() != nullptr, row.markdown) << row.name;
    EXPECT_EQ(latest.retryButton() != nullptr, row.retry) << row.name;
  }
}

TEST_F(HomeViewTest, RetrySendsTheSavedRecordingAgain) {
  AuthStore::shared().setEmail(QStringLiteral("writer@example.com"));
  AuthStore::shared().setToken(QStringLiteral("token-1"));
  AuthStore::shared().setCreditsRemaining(10);
  HistoryStore::shared().load();
  RecordingHistory record = makeRecord(RecognitionStatus::failed, QStringLiteral("rewrite"));
  record.audioFilePath = makeAudioFile(*HistoryStore::shared().audioDirectoryURL() + "/" + record.id + ".wav");
  record.selectedText = QStringLiteral("old words");
  HistoryStore::shared().addRecord(record);
  const QJsonObject answer{{"operation", "rewrite"}, {"action_type", "tip"}, {"transcript", "again"}, {"result", "ok"}};
  service.enqueue("POST", apiPath("/audio/process"),
                  ScriptedResponse::json(200, QJsonDocument(answer).toJson(QJsonDocument::Compact)));

  HomeView view;
  view.show();
  ASSERT_NE(view.latestRecord()->retryButton(), nullptr);
  view.latestRecord()->retryButton()->click();
  ASSERT_TRUE(waitUntil([] { return HistoryStore::shared().records().first().status == RecognitionStatus::success; }));
  const RecordedRequest upload = service.lastRequest();
  EXPECT_EQ(upload.path, apiPath("/audio/process"));
  EXPECT_TRUE(upload.body.contains("rewrite"));
  EXPECT_TRUE(upload.body.contains("old words"));
  // The page follows the record to its new state.
  EXPECT_TRUE(shownTexts(*view.latestRecord()->card()).contains("again"));
}

TEST_F(HomeViewTest, SwitchingTheLanguageRedrawsEveryText) {
  RecordingHistory record = makeRecord(RecognitionStatus::success);
  record.result = QStringLiteral("answer");
  HistoryStore::shared().addRecord(record);
  HomeView view;
  view.show();
  LanguageManager::shared().setCurrent(AppLanguage::zhHant);
  const AppStrings& chinese = stringsFor(AppLanguage::zhHant);
  const QStringList texts = shownTexts(view);
  for (const QString& text : {chinese.pageHome, chinese.sectionHotkeys, chinese.hotkeyTranscribe, chinese.hotkeyRewrite,
                              chinese.hotkeyAgent, chinese.sectionLatest, chinese.labelResult}) {
    EXPECT_TRUE(texts.contains(text)) << text.toStdString();
  }
}

}  // namespace
