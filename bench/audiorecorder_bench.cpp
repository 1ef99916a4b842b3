// Hotkey to capturing: the time from startRecording() on a prepared engine to
// the first frame read from the sound server, and the main thread's share of
// it (the startRecording() call itself). And a new default microphone chosen
// during a recording: the time until the recording hears it. Needs a sound
// server with the test microphone, e.g. in a shell:
//   source scripts/test-desktop.sh; start_test_desktop; build/bench/audiorecorder_bench
#include "benchmain.h"
#include "pipeline/audiorecorder.h"
#include "platform/linux/pulsesoundserverwatcher.h"
#include "platform/linux/qtaudioengine.h"
#include "awaittask.h"
#include "soundserver.h"
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

// From the sound server's new default to the first frame of it in the
// recording: the watcher's event, the recorder's rebuild on a new engine, the
// new stream's first data. Measured from the moment pactl is started (which
// itself takes a few milliseconds) and from the watcher's event.
void BM_NewDefaultToFirstFrameOfIt(benchmark::State& state) {
  PulseSoundServerWatcher soundServer;
  QtAudioEngine* engine = nullptr;
  AudioRecorder recorder(
      [&] {
        auto made = std::make_unique<QtAudioEngine>(soundServer);
        engine = made.get();
        return made;
      },
      [] { return true; });
  PipeSource second(QStringLiteral("veltrine_bench_microphone"));
  TestMicrophone first;
  TestMicrophone secondMicrophone(second.pipe());
  awaitTask(recorder.prepareEngine());
  if (!second.isLoaded() || !waitUntil([&] { return soundServer.isConnected(); }) ||
      !first.play(TestMicrophone::tone(440, std::chrono::milliseconds(1000), 0.3), true) ||
      !secondMicrophone.play(TestMicrophone::tone(880, std::chrono::milliseconds(1000), 0.3), true) ||
      !awaitTask(recorder.startRecording())) {
    state.SkipWithError("no sound server with the test microphone (see the comment at the top)");
    return;
  }
  Clock::time_point noticed;
  QObject::connect(&soundServer, &SoundServerWatcher::defaultSourceChanged, [&] { noticed = Clock::now(); });
  const QString names[] = {second.name(), QStringLiteral("veltrine_microphone")};
  double fromEventMs = 0.0;
  int switches = 0;
  for (auto _ : state) {
    const QString target = names[switches++ % 2];
    const QtAudioEngine* before = engine;
    const auto start = Clock::now();
    pactl({QStringLiteral("set-default-source"), target});
    const auto deadline = start + std::chrono::seconds(5);
    while (!(engine != before && engine->capturedFrames() > 0) && Clock::now() < deadline) {
      QCoreApplication::processEvents();
    }
    if (engine == before || engine->capturedFrames() == 0) {
      state.SkipWithError("the recording did not move to the new default");
      break;
    }
    const auto heard = Clock::now();
    state.SetIterationTime(std::chrono::duration<double>(heard - start).count());
    fromEventMs += std::chrono::duration<double, std::milli>(heard - noticed).count();
  }
  state.counters["from_event_ms"] = fromEventMs / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
  if (const auto url = awaitTask(recorder.stopRecording())) QFile::remove(url->toLocalFile());
  pactl({QStringLiteral("set-default-source"), QStringLiteral("veltrine_microphone")});
}
BENCHMARK(BM_NewDefaultToFirstFrameOfIt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }
