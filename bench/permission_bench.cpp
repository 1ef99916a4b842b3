// The microphone check that every refresh of the permissions makes (each time
// the program becomes active): open the default input, close it again.
#include "benchmain.h"
#include "platform/linux/qtmicrophoneaccess.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

void BM_MicrophoneCheck(benchmark::State& state) {
  QtMicrophoneAccess access;
  if (access.authorizationStatus() != MicrophoneAccess::Authorization::authorized) {
    state.SkipWithError("no microphone opens here (run it on the test desktop)");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(access.authorizationStatus());
}
BENCHMARK(BM_MicrophoneCheck)->Iterations(50)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }
