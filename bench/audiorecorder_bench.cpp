// Hotkey to capturing: the time from startRecording() on a prepared engine to
// the first frame read from the sound server, and the main thread's share of
// it (the startRecording() call itself). Needs a sound server with the test
// microphone, e.g. in a shell:
//   source scripts/test-desktop.sh; start_test_desktop; build/bench/audiorecorder_bench
#include "benchmain.h"
#include "pipeline/audiorecorder.h"
#include "platform/linux/qtaudioengine.h"
#include "awaittask.h"
#include "testmicrophone.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

void BM_StartToFirstCapturedFrame(benchmark::State& state) {
  QtAudioEngine* engine = nullptr;
  AudioRecorder recorder(
      [&engine] {
        auto made = std::make_unique<QtAudioEngine>();
        engine = made.get();
        return made;
      },
      [] { return true; });
  awaitTask(recorder.prepareEngine());
  TestMicrophone microphone;
  if (!engine || !engine->inputFormat().isValid() ||
      !microphone.play(TestMicrophone::tone(440, std::chrono::milliseconds(1000), 0.3), true)) {
    state.SkipWithError("no sound server with the test microphone (see the comment at the top)");
    return;
  }

  double callMs = 0.0;
  int timeouts = 0;
  for (auto _ : state) {
    const quint64 before = engine->capturedFrames();
    const auto start = Clock::now();
    if (!awaitTask(recorder.startRecording())) {
      state.SkipWithError("startRecording failed");
      return;
    }
    const auto started = Clock::now();
    while (engine->capturedFrames() == before && Clock::now() - start < std::chrono::seconds(1)) {
    }
    const auto captured = Clock::now();
    if (captured - start >= std::chrono::seconds(1)) ++timeouts;
    state.SetIterationTime(std::chrono::duration<double>(captured - start).count());
    callMs += std::chrono::duration<double, std::milli>(started - start).count();

    if (const auto url = awaitTask(recorder.stopRecording())) QFile::remove(url->toLocalFile());
    recorder.resetToIdle();
  }
  state.counters["startRecording_call_ms"] = callMs / static_cast<double>(state.iterations());
  state.counters["timeouts"] = timeouts;
}
BENCHMARK(BM_StartToFirstCapturedFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }
