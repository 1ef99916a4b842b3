// What the main window's pages cost when they come on screen and when the
// history changes under them. The history page makes the cards of the first
// records that fall within half a screen of the view, however long the history
// and however large its page; a changed record redraws its own card only.
// Budget, with 500 cards built: a new record and a press of MORE each under
// 16 ms of main-thread time (the CPU column; the hotkeys wait meanwhile).
#include "benchmain.h"
#include "localization/languagemanager.h"
#include "mainwindow/historyview.h"
#include "mainwindow/mainview.h"
#include "pipeline/historystore.h"
#include "testenvironment.h"

#include <QApplication>
#include <QFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QUuid>

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

RecordingHistory sampleRecord(int age) {
  RecordingHistory record;
  record.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
  record.createdAt = QDateTime::currentDateTimeUtc().addSecs(-age);
  record.operation = QStringLiteral("transcribe");
  record.status = RecognitionStatus::success;
  record.transcript = QStringLiteral("what was said, more or less in these words, by the user");
  record.result = QStringLiteral("What was said, more or less in these words, by the user.");
  record.processingDuration = 1.2;
  return record;
}

void fillHistory(int count) {
  HistoryStore& store = HistoryStore::shared();
  if (store.records().size() >= count) return;
  store.clearRecords();
  for (int i = 0; i < count; ++i) store.addRecord(sampleRecord(i));
}

double residentMegabytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
  }
  return 0;
}

// What the heap holds now, in kilobytes: unlike the resident size it does not
// depend on what the allocator happened to give back.
double heapKilobytes() { return double(mallinfo2().uordblks) / 1024.0; }

// The user's way to many cards: scroll to the end of the list, press MORE
// when it shows, again and again.
void scrollToEnd(HistoryView& page) {
  QScrollBar& bar = *page.findChild<QScrollArea*>()->verticalScrollBar();
  bar.setValue(bar.maximum());
  QApplication::processEvents();
}

void buildCards(HistoryView& page, qsizetype cards) {
  while (page.cards().size() < cards) {
    if (page.cards().size() >= page.displayCount()) page.showMore();
    scrollToEnd(page);
  }
}

constexpr qsizetype kBuiltCards = 500;

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

// A new record arrives while 500 cards are built: one card more at the top.
// The resident size is the program's after those 500 cards; heap_kB_per_card
// what each card past the first hundred added to the heap.
void BM_HistoryNewRecordWith500Cards(benchmark::State& state) {
  fillHistory(10000);
  HistoryView page(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  page.resize(880, 720);
  page.show();
  // The growth per card is measured past the first cards, which also bring
  // in the fonts, symbols and glows that every later card shares.
  buildCards(page, 100);
  const double heapBefore = heapKilobytes();
  buildCards(page, kBuiltCards);
  const double heapAfter = heapKilobytes();
  const double resident = residentMegabytes();
  int round = 0;
  for (auto _ : state) {
    HistoryStore::shared().addRecord(sampleRecord(-++round));
    QApplication::processEvents();
  }
  state.counters["cards"] = double(page.cards().size());
  state.counters["resident_MB"] = resident;
  state.counters["heap_kB_per_card"] = (heapAfter - heapBefore) / double(kBuiltCards - 100);
}
BENCHMARK(BM_HistoryNewRecordWith500Cards)->Unit(benchmark::kMillisecond)->Iterations(50);

// MORE pressed with 500 cards built: the next page's cards that come into
// view are made, the others stay as they are.
void BM_HistoryMoreWith500Cards(benchmark::State& state) {
  fillHistory(10000);
  HistoryView page(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  page.resize(880, 720);
  page.show();
  buildCards(page, kBuiltCards);
  for (auto _ : state) {
    // The user has come down to the MORE button, the page's cards all made.
    state.PauseTiming();
    buildCards(page, page.displayCount());
    scrollToEnd(page);
    state.ResumeTiming();
    page.showMore();
    QApplication::processEvents();
  }
  state.counters["cards"] = double(page.cards().size());
}
BENCHMARK(BM_HistoryMoreWith500Cards)->Unit(benchmark::kMillisecond)->Iterations(10);

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
