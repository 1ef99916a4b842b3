// Loading and saving a long history: 10,000 records, each with the texts a
// busy user's requests carry. The store reads and writes the whole file on
// every change, so both must stay far below what a user would notice.
#include "benchmain.h"
#include "pipeline/historystore.h"

#include "service/authstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRecordCount = 10'000;

QList<RecordingHistory> longHistory(const QString& audioFolder) {
  const QString sentence = QStringLiteral("Please move the quarterly review to Thursday afternoon and tell the team. ");
  const QDateTime start = QDateTime::currentDateTimeUtc();
  QList<RecordingHistory> records;
  records.reserve(kRecordCount);
  for (int n = 0; n < kRecordCount; ++n) {
    RecordingHistory record;
    record.id = QStringLiteral("%1-4C35-9E4A-1D2B3C4D5E6F").arg(n, 8, 16, QLatin1Char('0')).toUpper();
    record.createdAt = start.addSecs(-60 * n);
    record.operation = n % 3 == 0 ? QStringLiteral("rewrite") : QStringLiteral("transcribe");
    record.audioFilePath = audioFolder + QLatin1Char('/') + record.id + QStringLiteral(".wav");
    if (n % 3 == 0) record.selectedText = sentence.repeated(2);
    record.transcript = sentence.repeated(3);
    record.result = sentence.repeated(3);
    record.actionType = QStringLiteral("paste");
    record.status = RecognitionStatus::success;
    record.retryable = true;
    record.processingDuration = 1.25 + n % 7;
    record.processStartedAt = record.createdAt.addMSecs(120);
    records.append(record);
  }
  return records;
}

void seed(HistoryStore& store) {
  static bool seeded = false;
  if (seeded) return;
  const QString folder = HistoryStore::historyDirectoryURL(*AuthStore::shared().email());
  QFile file(folder + QStringLiteral("/recording_history.json"));
  if (file.open(QIODevice::WriteOnly)) file.write(RecordingHistory::encodeList(longHistory(*store.audioDirectoryURL())));
  file.close();
  seeded = true;
}

void BM_HistoryLoad(benchmark::State& state) {
  HistoryStore& store = HistoryStore::shared();
  seed(store);
  for (auto _ : state) store.load();
  if (store.records().size() != kRecordCount) state.SkipWithError("the history did not load");
  state.counters["records"] = static_cast<double>(store.records().size());
}
BENCHMARK(BM_HistoryLoad)->Unit(benchmark::kMillisecond);

void BM_HistorySave(benchmark::State& state) {
  HistoryStore& store = HistoryStore::shared();
  seed(store);
  store.load();
  for (auto _ : state) store.save();
  state.counters["records"] = static_cast<double>(store.records().size());
}
BENCHMARK(BM_HistorySave)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return runBenchmarks(argc, argv, [] {
    AuthStore::shared().setEmail(QStringLiteral("bench@example.com"));
    return true;
  });
}
