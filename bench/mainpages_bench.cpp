// What the main window's pages cost when they come on screen and when the
// history changes under them. The history page makes the cards of the first
// records that fall within a screen of the view, however long the history and
// however large its page; a changed record redraws its own card only.
#include "benchmain.h"
#include "localization/languagemanager.h"
#include "mainwindow/historyview.h"
#include "mainwindow/mainview.h"
#include "pipeline/historystore.h"
#include "testenvironment.h"

#include <QApplication>
#include <QUuid>

#include <benchmark/benchmark.h>

namespace {

void fillHistory(int count) {
  HistoryStore& store = HistoryStore::shared();
  if (store.records().size() >= count) return;
  store.clearRecords();
  for (int i = 0; i < count; ++i) {
    RecordingHistory record;
    record.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    record.createdAt = QDateTime::currentDateTimeUtc().addSecs(-i);
    record.operation = QStringLiteral("transcribe");
    record.status = RecognitionStatus::success;
    record.transcript = QStringLiteral("what was said, more or less in these words, by the user");
    record.result = QStringLiteral("What was said, more or less in these words, by the user.");
    record.processingDuration = 1.2;
    store.addRecord(record);
  }
}

// The history page of a 10,000-record history, built, laid out and drawn,
// with pages of as many records as the argument (20 in the program).
void BM_HistoryPageComesOnScreen(benchmark::State& state) {
  fillHistory(10000);
  const int cards = int(state.range(0));
  for (auto _ : state) {
    HistoryView page(HistoryStore::shared(), cards, cards, LanguageManager::shared());
    page.resize(880, 720);
    page.show();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_HistoryPageComesOnScreen)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);

// One record of the first page changes (a retry's answer arrives).
void BM_HistoryRecordChanges(benchmark::State& state) {
  fillHistory(10000);
  HistoryView page(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  page.resize(880, 720);
  page.show();
  QApplication::processEvents();
  const QString id = HistoryStore::shared().records().at(3).id;
  int round = 0;
  for (auto _ : state) {
    HistoryStore::shared().updateRecord(
        id, [&](RecordingHistory& record) { record.result = QStringLiteral("answer %1").arg(++round); });
    QApplication::processEvents();
  }
}
BENCHMARK(BM_HistoryRecordChanges)->Unit(benchmark::kMillisecond);

// A sidebar entry chosen: the old page goes, the new one is built.
void BM_SwitchPages(benchmark::State& state) {
  fillHistory(10000);
  MainView view;
  view.show();
  QApplication::processEvents();
  for (auto _ : state) {
    view.setSelectedTab(SidebarTab::history);
    QApplication::processEvents();
    view.setSelectedTab(SidebarTab::home);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_SwitchPages)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return runBenchmarks<QApplication>(argc, argv);
}
