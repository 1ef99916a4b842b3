#include "mainwindow/homeview.h"

#include "openclawhome.h"
#include "faketerminaldriver.h"
#include "historyrecords.h"
#include "localization/appstrings.h"
#include "mainwindow/hotkeysummary.h"
#include "mainwindow/latestrecordsection.h"
#include "mainwindow/neonbusybutton.h"
#include "mainwindow/openclawcard.h"
#include "mainwindow/outlinebutton.h"
#include "openclaw/openclawcommands.h"
#include "openclaw/openclawmanager.h"
#include "overlays/markdownscrollview.h"
#include "mainwindow/plainbutton.h"
#include "mainwindow/textlabel.h"
#include "mainwindowtest.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionmanager.h"
#include "platform/virtualkeycodes.h"
#include "service/authstore.h"
#include "theme/neonbutton.h"
#include "theme/neoncard.h"
#include "theme/palette.h"

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

// The agent's state as detection finds it in the private home: the tool and
// its folder, and a gateway that answers (the fake service answers anything)
// or a port where nothing listens.
void detectOpenClaw(FakeService& gateway, OpenClawStatus wanted) {
  OpenClawHome::useLoginShellWithFakeBin();
  if (wanted != OpenClawStatus::notInstalled) {
    OpenClawHome::makeConfigFolder();
    OpenClawHome::installTool();
  }
  OpenClawManager::shared().setGatewayURLForTesting(wanted == OpenClawStatus::ready ? gateway.origin()
                                                                                    : QUrl("http://127.0.0.1:9"));
  awaitTask(OpenClawManager::shared().refreshStatus());
  ASSERT_EQ(OpenClawManager::shared().status(), wanted);
}

TEST_F(HomeViewTest, TheAgentsCardFollowsItsStatus) {
  FakeTerminalDriver terminal;
  HomeView view;
  view.show();
  // Not known yet: no card, and the hotkeys come first.
  EXPECT_EQ(view.openClawCard(), nullptr);

  const struct {
    OpenClawStatus status;
    OpenClawCard::Kind kind;
    QColor color;
    QString title;
    QString command;  // of the card's main button
  } rows[] = {
      {OpenClawStatus::notInstalled, OpenClawCard::Kind::install, Palette::neonPink,
       currentStrings().openclawPromoTitle, OpenClawCommands::install()},
      {OpenClawStatus::ready, OpenClawCard::Kind::ready, Palette::neonGreen, currentStrings().openclawInstalledTitle,
       OpenClawCommands::gatewayStop()},
      {OpenClawStatus::installedServiceDown, OpenClawCard::Kind::serviceDown, Palette::neonOrange,
       currentStrings().openclawServiceDownTitle, QString()},
  };
  for (const auto& row : rows) {
    detectOpenClaw(service, row.status);
    OpenClawCard* card = view.openClawCard();
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->kind(), row.kind);
    EXPECT_EQ(card->color(), row.color);
    EXPECT_EQ(card->titleLabel()->text(), row.title);
    EXPECT_TRUE(card->isVisibleTo(&view));
    if (row.command.isEmpty()) continue;
    terminal.calls.clear();
    card->primaryButton()->click();
    ASSERT_EQ(terminal.commands(), QStringList{row.command});
  }

  // Uninstalling runs at once, without a question.
  terminal.calls.clear();
  view.openClawCard()->uninstallButton()->click();
  EXPECT_EQ(terminal.commands(), QStringList{OpenClawCommands::uninstall()});
}

// With no terminal to open, the card's buttons would do nothing visible: the
// card says why, until a window opens again.
TEST_F(HomeViewTest, TheCardSaysWhenNoTerminalCanBeOpened) {
  FakeTerminalDriver terminal;
  terminal.available = false;
  detectOpenClaw(service, OpenClawStatus::notInstalled);
  HomeView view;
  view.show();
  EXPECT_FALSE(view.openClawCard()->terminalNote()->isVisibleTo(&view));
  view.openClawCard()->primaryButton()->click();
  ASSERT_TRUE(waitUntil([&] { return view.openClawCard()->terminalNote()->isVisibleTo(&view); }));
  EXPECT_EQ(view.openClawCard()->terminalNote()->text(), currentStrings().openclawNoTerminal);
  LanguageManager::shared().setCurrent(AppLanguage::ko);
  EXPECT_EQ(view.openClawCard()->terminalNote()->text(), stringsFor(AppLanguage::ko).openclawNoTerminal);

  terminal.available = true;
  view.openClawCard()->primaryButton()->click();
  EXPECT_TRUE(waitUntil([&] { return !view.openClawCard()->terminalNote()->isVisibleTo(&view); }));
}

TEST_F(HomeViewTest, OnePressStartsOneGatewayStart) {
  detectOpenClaw(service, OpenClawStatus::installedServiceDown);
  HomeView view;
  view.show();
  auto* start = qobject_cast<NeonBusyButton*>(view.openClawCard()->primaryButton());
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(start->text(), currentStrings().openclawStartBtn);
  start->click();
  EXPECT_TRUE(OpenClawManager::shared().isStartingGateway());
  EXPECT_FALSE(start->isEnabled());
  EXPECT_TRUE(start->isBusy());
  EXPECT_EQ(start->text(), currentStrings().openclawStartingGateway);
  // A second press finds the flag set and starts nothing.
  EXPECT_FALSE(OpenClawManager::shared().requestGatewayStart());
  // The start clears the flag when it ends: the button is back.
  OpenClawManager::shared().setStartingGateway(false);
  start = qobject_cast<NeonBusyButton*>(view.openClawCard()->primaryButton());
  EXPECT_TRUE(start->isEnabled());
  EXPECT_FALSE(start->isBusy());
  EXPECT_EQ(start->text(), currentStrings().openclawStartBtn);
}

TEST_F(HomeViewTest, HotkeysShowTheirOwnConfigurationOrTheDefault) {
  EXPECT_EQ(HotKeySummary::shownConfig({}, HotKeyCombo::transcribe).displayString(), "Alt+Q");
  EXPECT_EQ(HotKeySummary::shownConfig({}, HotKeyCombo::rewrite).displayString(), "Alt+E");
  EXPECT_EQ(HotKeySummary::shownConfig({}, HotKeyCombo::agent).displayString(), "Alt+W");

  HomeView view;
  HotKeyManager::shared().setConfig(
      HotKeyCombo::rewrite,
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
      {"plain result",
       RecognitionStatus::success,
       "heard",
       "answer",
       {},
       {},
       false,
       {strings.labelTranscript, "heard", strings.labelResult, "answer"},
       false,
       false},
      {"markdown",
       RecognitionStatus::success,
       {},
       "# Found",
       "show_markdown",
       {},
       false,
       {strings.labelResult},
       true,
       false},
      {"not quite markdown",
       RecognitionStatus::success,
       {},
       "# Found",
       "SHOW_MARKDOWN",
       {},
       false,
       {strings.labelResult, "# Found"},
       false,
       false},
      // The audio decides, not the record's own flag.
      {"failed with audio",
       RecognitionStatus::failed,
       {},
       {},
       {},
       audio,
       false,
       {strings.recognizeFailed},
       false,
       true},
      {"failed, audio gone",
       RecognitionStatus::failed,
       {},
       {},
       {},
       audio + ".gone",
       true,
       {strings.recognizeFailed},
       false,
       false},
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
    if (row.markdown) {
      EXPECT_EQ(static_cast<MarkdownScrollView*>(latest.markdownView())->text(), *row.result);
      EXPECT_EQ(latest.markdownView()->height(), 200);
    }
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
