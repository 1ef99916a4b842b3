// The home page against the permission model, the agent's manager, the
// hotkeys and the history, with the service and the terminal faked.
#include "faketerminaldriver.h"
#include "mainwindow/homeview.h"
#include "mainwindow/hotkeysummary.h"
#include "mainwindow/latestrecordsection.h"
#include "mainwindow/openclawcard.h"
#include "mainwindow/permissionwindowmanager.h"
#include "mainwindow/plainbutton.h"
#include "mainwindowtest.h"
#include "openclaw/openclawcommands.h"
#include "openclaw/openclawmanager.h"
#include "openclawhome.h"
#include "overlays/markdownscrollview.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionmanager.h"
#include "platform/virtualkeycodes.h"
#include "service/authstore.h"
#include "theme/neoncard.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

using HomePage = MainWindowServiceTest;

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

TEST_F(HomePage, TheWarningFollowsThePermissionsAndOpensTheirWindow) {
  trust.trusted = false;
  HomeView view;
  view.show();  // coming on screen looks at the permissions
  ASSERT_TRUE(shownWith(view, currentStrings().btnWarn));
  clickText(view, currentStrings().btnWarn);
  ASSERT_TRUE(PermissionWindowManager::shared().window());
  EXPECT_TRUE(PermissionWindowManager::shared().window()->isVisible());
  PermissionWindowManager::shared().window()->close();

  // Granted in the permission window; the model's own refresh is enough.
  trust.trusted = true;
  PermissionManager::shared().refresh();
  EXPECT_FALSE(shownWith(view, currentStrings().btnWarn));
}

TEST_F(HomePage, TheAgentsCardFollowsItsStatusAndItsButtonsRunTheirCommands) {
  FakeTerminalDriver terminal;
  HomeView view;
  view.show();
  EXPECT_EQ(view.openClawCard(), nullptr) << "not known yet: no card";

  const AppStrings& strings = currentStrings();
  const struct {
    OpenClawStatus status;
    QString title;
    QString button;
    QString command;  // of the card's main button; none where it starts the gateway
  } rows[] = {
      {OpenClawStatus::notInstalled, strings.openclawPromoTitle, strings.openclawInstallBtn,
       OpenClawCommands::install()},
      {OpenClawStatus::ready, strings.openclawInstalledTitle, strings.openclawStopBtn, OpenClawCommands::gatewayStop()},
      {OpenClawStatus::installedServiceDown, strings.openclawServiceDownTitle, strings.openclawStartBtn, QString()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.title.toStdString());
    detectOpenClaw(service, row.status);
    ASSERT_TRUE(waitUntil([&] { return shows(view, row.title); }));
    EXPECT_EQ(view.openClawCard()->primaryButton()->text(), row.button);
    if (row.command.isEmpty()) continue;
    terminal.calls.clear();
    clickText(view, row.button);
    ASSERT_TRUE(waitUntil([&] { return !terminal.calls.isEmpty(); }));
    EXPECT_EQ(terminal.commands(), QStringList{row.command});
  }

  // Uninstalling runs at once, without a question.
  terminal.calls.clear();
  clickText(view, strings.openclawUninstallBtn);
  ASSERT_TRUE(waitUntil([&] { return !terminal.calls.isEmpty(); }));
  EXPECT_EQ(terminal.commands(), QStringList{OpenClawCommands::uninstall()});
}

// With no terminal to open, the card's buttons would do nothing visible: the
// card says why, until a window opens again.
TEST_F(HomePage, TheCardSaysWhenNoTerminalCanBeOpened) {
  FakeTerminalDriver terminal;
  terminal.available = false;
  detectOpenClaw(service, OpenClawStatus::notInstalled);
  HomeView view;
  view.show();
  EXPECT_FALSE(shows(view, currentStrings().openclawNoTerminal));
  click(view.openClawCard()->primaryButton());
  ASSERT_TRUE(waitUntil([&] { return shows(view, currentStrings().openclawNoTerminal); }));
  LanguageManager::shared().setCurrent(AppLanguage::ko);
  EXPECT_TRUE(shows(view, stringsFor(AppLanguage::ko).openclawNoTerminal));

  terminal.available = true;
  click(view.openClawCard()->primaryButton());
  EXPECT_TRUE(waitUntil([&] { return !shows(view, stringsFor(AppLanguage::ko).openclawNoTerminal); }));
}

TEST_F(HomePage, OnePressStartsOneGatewayStart) {
  detectOpenClaw(service, OpenClawStatus::installedServiceDown);
  HomeView view;
  view.show();
  clickText(view, currentStrings().openclawStartBtn);
  EXPECT_TRUE(OpenClawManager::shared().isStartingGateway());
  QAbstractButton* busy = shownWith(view, currentStrings().openclawStartingGateway);
  ASSERT_TRUE(busy);
  EXPECT_FALSE(busy->isEnabled()) << "a second press starts nothing";
  EXPECT_FALSE(OpenClawManager::shared().requestGatewayStart());
  // The start clears the flag when it ends: the button is back.
  OpenClawManager::shared().setStartingGateway(false);
  ASSERT_TRUE(shownWith(view, currentStrings().openclawStartBtn));
  EXPECT_TRUE(shownWith(view, currentStrings().openclawStartBtn)->isEnabled());
}

TEST_F(HomePage, RetrySendsTheSavedRecordingAgain) {
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
  clickText(view, currentStrings().retry);
  // The page follows the record to its new state.
  ASSERT_TRUE(waitUntil([&] { return shows(view, QStringLiteral("again")); }));
  EXPECT_EQ(service.requestCount(), 1);
  const RecordedRequest upload = service.lastRequest();
  EXPECT_EQ(upload.path, apiPath("/audio/process"));
  EXPECT_TRUE(upload.body.contains("rewrite"));
  EXPECT_TRUE(upload.body.contains("old words"));
  EXPECT_FALSE(shownWith(view, currentStrings().retry));
}

}  // namespace
