#include "mainwindow/historyview.h"

#include "historyrecords.h"
#include "mainwindow/historycard.h"
#include "mainwindow/mainview.h"
#include "mainwindowtest.h"
#include "screenshot.h"
#include "testenvironment.h"

namespace {

using HistoryOnScreen = MainWindowTest;

TEST_F(HistoryOnScreen, CardsOfEveryKind) {
  REQUIRE_TEST_DESKTOP();
  const QString audio = makeAudioFile(TestEnvironment::root() + QStringLiteral("/audio/a.wav"));
  RecordingHistory failed = makeRecord(RecognitionStatus::failed, QStringLiteral("rewrite"));
  failed.audioFilePath = audio;
  failed.retryable = true;
  failed.processingDuration = 0.04;
  HistoryStore::shared().addRecord(failed);
  RecordingHistory search = makeRecord(RecognitionStatus::success, QStringLiteral("agent"));
  search.actionType = QStringLiteral("show_markdown");
  search.result = QStringLiteral("# Weather\n\n- Sunny, 24°C\n- Light wind");
  search.transcript = QStringLiteral("what is the weather tomorrow");
  search.processingDuration = 12.96;
  HistoryStore::shared().addRecord(search);
  RecordingHistory plain = makeRecord(RecognitionStatus::success);
  plain.transcript = QStringLiteral("first line second line");
  plain.result = QStringLiteral("One\nTwo\nThree\nFour\nFive");
  plain.audioFilePath = audio;
  plain.processingDuration = 2.34;
  HistoryStore::shared().addRecord(plain);
  HistoryStore::shared().addRecord(makeRecord(RecognitionStatus::pending));
  HistoryStore::shared().addRecord(makeRecord(RecognitionStatus::processing, QStringLiteral("custom")));

  MainView window;
  window.setSelectedTab(SidebarTab::history);
  auto* page = qobject_cast<HistoryView*>(window.page());
  ASSERT_NE(page, nullptr);
  onScreen(window, QStringLiteral("history-collapsed"));
  page->cards().at(2)->toggleExpanded();
  page->cards().at(3)->toggleExpanded();
  onScreen(window, QStringLiteral("history-expanded"));
  grabbed(*page->cards().at(3), QStringLiteral("history-card-markdown"));
  grabbed(*page->cards().at(4), QStringLiteral("history-card-failed"));
}

}  // namespace
