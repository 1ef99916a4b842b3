// What a view pays for each text it shows: fetching the current table and
// reading one field, and turning a service error code into its message.
#include "benchmain.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "localization/servermessages.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_CurrentStringsField(benchmark::State& state) {
  for (auto _ : state) {
    QString text = currentStrings().overlayRecording;
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_CurrentStringsField);

void BM_FormattedCount(benchmark::State& state) {
  for (auto _ : state) {
    QString text = currentStrings().menuUploadCrashLogs(12);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_FormattedCount);

void BM_ServerErrorLastCode(benchmark::State& state) {
  const QString code = QStringLiteral("USER_BANNED");  // the last code tested
  for (auto _ : state) {
    QString text = localizedServerError(code);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_ServerErrorLastCode);

}  // namespace

int main(int argc, char** argv) {
  return runBenchmarks(argc, argv, [] {
    LanguageManager::shared().setCurrent(AppLanguage::yue);
    return true;
  });
}
