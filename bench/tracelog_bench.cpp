// The caller's cost of one trace line: formatting and queueing, never the disk.
#include "benchmain.h"
#include "core/tracelog.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_TraceCall(benchmark::State& state) {
  const QString message = QStringLiteral("startRecording: engine running, format=48000Hz 2ch, file=rec_1234.wav");
  for (auto _ : state) trace(message);
}
BENCHMARK(BM_TraceCall)->Iterations(20000);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv, {}, [] { flushTrace(); }); }
