// What the recording indicator costs while the user speaks: the real
// indicator, on its panel, follows a recorder fed in real time with 10 s of
// speech-like sound (syllables, pauses, a quiet room), while the program's
// CPU time is measured. Run it inside the test desktop, so that every frame
// also goes to an X server:
//
//   source scripts/test-desktop.sh; start_test_desktop; build/bench/recordingindicator_bench
//
// "core_share" is the process's CPU time over the wall time (1.0 = one core
// busy), "main_share" the main thread's alone, "frames" the number of times
// the indicator was painted and "per_frame_us" the main thread's time per
// painted frame. The hidden run is the recorder alone: what the indicator
// adds is the difference. The indicator is made once and kept by the
// program, so from its second recording on it finds its pictures drawn.
#include "benchmain.h"
#include "overlays/overlaypanel.h"
#include "overlays/recordingoverlayview.h"
#include "overlays/recordingoverlaywindowcontroller.h"
#include "pipeline/audiorecorder.h"

#include "awaittask.h"
#include "fakeaudioengine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cmath>
#include <optional>
#include <ctime>
#include <random>

namespace {

constexpr int kSampleRate = 48000;
constexpr int kChannels = 2;

double cpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Sound as a microphone hears a speaker, in buffers of `frames`: syllables
// about four times a second, a breath every two and a half seconds, the
// room's noise between. Made before the clock starts.
std::vector<std::vector<float>> speech(double seconds, int frames) {
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0, 0.3);
  std::vector<std::vector<float>> buffers;
  for (qint64 frame = 0; frame < qint64(seconds * kSampleRate);) {
    std::vector<float>& samples = buffers.emplace_back(size_t(frames) * kChannels);
    for (int i = 0; i < frames; ++i, ++frame) {
      const double t = double(frame) / kSampleRate;
      const bool breath = std::fmod(t, 2.5) > 2.1;
      const double syllable = std::pow(std::max(0.0, std::sin(2 * M_PI * 4.1 * t)), 2);
      const double loudness = 0.15 + 0.1 * std::sin(2 * M_PI * 0.37 * t);
      const double voice = breath ? 0 : syllable * loudness * std::sin(2 * M_PI * 180 * t) * (0.6 + noise(random));
      const float sample = float(voice + 0.002 * noise(random));
      samples[size_t(i) * kChannels] = sample;
      samples[size_t(i) * kChannels + 1] = sample;
    }
  }
  return buffers;
}

// Counts the indicator's paint events.
class PaintCounter : public QObject {
 public:
  int frames = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++frames;
    return false;
  }
};

// What one recording of 10 s cost.
struct Cost {
  double seconds = 0;
  double process = 0;  // CPU seconds of the whole program
  double main = 0;     // CPU seconds of the main thread
  int frames = 0;      // paintings of the indicator
};

// Records `buffers` in real time, with the indicator shown or not.
std::optional<Cost> record(AudioRecorder& recorder, FakeAudioEngines& engines, RecordingOverlayWindowController& indicator,
                           bool shown, const std::vector<std::vector<float>>& buffers) {
  PaintCounter counter;
  if (shown) {
    indicator.show();
    indicator.view()->installEventFilter(&counter);
  }
  if (!awaitTask(recorder.startRecording())) return std::nullopt;
  size_t next = 0;
  QTimer microphone;
  microphone.setTimerType(Qt::PreciseTimer);
  microphone.setInterval(1000 * engines.latest()->framesPerBuffer() / kSampleRate);
  QObject::connect(&microphone, &QTimer::timeout, [&] {
    if (next < buffers.size()) engines.latest()->deliver(buffers[next++]);
  });

  const double processBefore = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const double mainBefore = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  QElapsedTimer wall;
  wall.start();
  microphone.start();
  QEventLoop loop;
  QTimer::singleShot(10000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
  microphone.stop();
  Cost cost{double(wall.nsecsElapsed()) / 1e9, cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processBefore,
            cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - mainBefore, counter.frames};
  recorder.cancelRecording();
  indicator.hide();
  if (shown) indicator.view()->removeEventFilter(&counter);
  return cost;
}

// 10 s of a recording; range(0): the indicator is shown (1) or not (0);
// range(1): the seconds left count down meanwhile (1) or not (0); range(2):
// the indicator showed a recording before (1), as it has after the
// program's first one, or it is new (0).
void BM_RecordingTenSeconds(benchmark::State& state) {
  const bool shown = state.range(0) != 0;
  const bool countingDown = state.range(1) != 0;
  const bool shownBefore = state.range(2) != 0;
  for (auto _ : state) {
    FakeAudioEngines engines;
    AudioRecorder recorder(engines.factory(), [] { return true; });
    // The last ten seconds of the longest recording show the seconds left.
    recorder.setMaxDuration(countingDown ? 10.5 : 60);
    RecordingOverlayWindowController indicator(recorder);
    awaitTask(recorder.prepareEngine());
    const std::vector<std::vector<float>> buffers = speech(11, AudioRecorder::kFramesPerBuffer);
    if (shownBefore && !record(recorder, engines, indicator, shown, buffers)) return state.SkipWithError("no recording");
    const std::optional<Cost> cost = record(recorder, engines, indicator, shown, buffers);
    if (!cost) return state.SkipWithError("the recording did not start");
    state.SetIterationTime(cost->seconds);
    state.counters["core_share"] = cost->process / cost->seconds;
    state.counters["main_share"] = cost->main / cost->seconds;
    state.counters["frames"] = cost->frames;
    if (cost->frames > 0) state.counters["per_frame_us"] = cost->main / cost->frames * 1e6;
  }
}
BENCHMARK(BM_RecordingTenSeconds)
    ->ArgNames({"shown", "countdown", "shown_before"})
    ->Args({0, 0, 0})
    ->Args({1, 0, 0})
    ->Args({1, 0, 1})
    ->Args({1, 1, 0})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_LOGGING_RULES", "vorlix.voice-input.*.info=false");
  return runBenchmarks<QApplication>(argc, argv);
}
