#include "mainwindow/homeview.h"

#include "faketerminaldriver.h"
#include "openclawhome.h"
#include "historyrecords.h"
#include "openclaw/openclawmanager.h"
#include "mainwindow/mainview.h"
#include "mainwindowtest.h"
#include "mainwindow/openclawcard.h"
#include "mainwindow/textlabel.h"
#include "screenshot.h"
#include "shownpage.h"
#include "testenvironment.h"

namespace {

using HomeOnScreen = MainWindowTest;

TEST_F(HomeOnScreen, TheLatestAnswerAndTheHotkeys) {
  REQUIRE_TEST_DESKTOP();
  trust.trusted = false;
  RecordingHistory record = makeRecord(RecognitionStatus::success);
  record.transcript = QStringLiteral("please summarise the meeting notes for tomorrow");
  record.result = QStringLiteral("Summary: the launch moves to Thursday; Ada owns the release notes.");
  record.processingDuration = 1.84;
  HistoryStore::shared().addRecord(record);
  MainView window;
  onScreen(window, QStringLiteral("home-success"));

  RecordingHistory failed = makeRecord(RecognitionStatus::failed);
  failed.audioFilePath = makeAudioFile(TestEnvironment::root() + QStringLiteral("/audio/a.wav"));
  HistoryStore::shared().addRecord(failed);
  onScreen(window, QStringLiteral("home-failed"));

  RecordingHistory search = makeRecord(RecognitionStatus::success, QStringLiteral("agent"));
  search.actionType = QStringLiteral("show_markdown");
  search.result = QStringLiteral(
      "## Weather tomorrow\n\n- **Sunny**, 24°C\n- Light wind from the west\n\n| Time | Temp |\n|---|---|\n| 9:00 | "
      "18° |\n| 15:00 | 24° |");
  HistoryStore::shared().addRecord(search);
  onScreen(window, QStringLiteral("home-markdown"));
}

TEST_F(HomeOnScreen, TheAgentsCards) {
  REQUIRE_TEST_DESKTOP();
  FakeService gateway;
  MainView window;
  OpenClawManager& agent = OpenClawManager::shared();
  OpenClawHome::useLoginShellWithFakeBin();
  agent.setGatewayURLForTesting(QUrl("http://127.0.0.1:9"));
  awaitTask(agent.refreshStatus());
  onScreen(window, QStringLiteral("home-openclaw-install"));
  OpenClawHome::makeConfigFolder();
  OpenClawHome::installTool();
  awaitTask(agent.refreshStatus());
  agent.setStartingGateway(true);
  onScreen(window, QStringLiteral("home-openclaw-starting"));
  agent.setStartingGateway(false);
  agent.setGatewayURLForTesting(gateway.origin());
  awaitTask(agent.refreshStatus());
  onScreen(window, QStringLiteral("home-openclaw-ready"));
  EXPECT_EQ(agent.status(), OpenClawStatus::ready);

  // No terminal to open: the card says so, in its place.
  FakeTerminalDriver terminal;
  terminal.available = false;
  OpenClawCard* card = qobject_cast<HomeView*>(window.page())->openClawCard();
  card->primaryButton()->click();
  ASSERT_TRUE(waitUntil([&] { return card->terminalNote()->isVisible(); }));
  onScreen(window, QStringLiteral("home-openclaw-no-terminal"));
  EXPECT_TRUE(shownPageFaults(window).empty());
}

}  // namespace
