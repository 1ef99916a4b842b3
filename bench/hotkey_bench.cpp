// From a key event to the hotkey handler on the main thread: the listener's
// own work (matching, trace line, queued delivery), and the whole way from the
// X server's key event through the X11 tap when a display is there, with an
// application in front that is shown the mask key at each press; and how long
// such a press holds the keyboard while the main thread is busy.
#include "awaittask.h"
#include "benchmain.h"
#include "fakekeyboardtap.h"
#include "testkeywatcher.h"
#include "testwindow.h"
#include "pipeline/hotkeymanager.h"
#include "platform/virtualkeycodes.h"
#include "platform/x11/x11keyboardtap.h"
#include "platform/x11/x11synthetickeyboard.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

using VirtualKeyCodes::kOptionFlag;

void BM_TapEventToDelivery(benchmark::State& state) {
  FakeKeyboardTap tap;
  bool delivered = false;
  HotKeyManager::shared().start([&](HotKeyCombo) { delivered = true; });
  const KeyTapEvent altQ{KeyTapEvent::Type::keyDown, 12, kOptionFlag, false, true, 0};
  for (auto _ : state) {
    delivered = false;
    tap.press(altQ);
    while (!delivered) QCoreApplication::sendPostedEvents();
  }
  HotKeyManager::shared().stop();
}
BENCHMARK(BM_TapEventToDelivery)->Iterations(20000);

// The X11 tap, noting the server's time stamp of each hotkey key down.
class TimedX11Tap final : public KeyboardTap {
 public:
  bool start(Sink sink, const QList<KeyGrab>& grabs) override {
    return tap_.start(
        [this, sink](const KeyTapEvent& event) {
          if (event.type == KeyTapEvent::Type::keyDown && event.intercepted) keyDownAtMs = event.timestampMs;
          return sink(event);
        },
        grabs);
  }
  bool setGrabs(const QList<KeyGrab>& grabs) override { return tap_.setGrabs(grabs); }
  QList<KeyGrab> refusedGrabs() const override { return tap_.refusedGrabs(); }
  void stop() override { tap_.stop(); }

  quint64 keyDownAtMs = 0;

 private:
  X11KeyboardTap tap_;
};

double monotonicMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// X server time stamps are milliseconds of the same monotonic clock, cut to
// whole milliseconds: a figure may read up to 1 ms high, never low.
void BM_XEventToDelivery(benchmark::State& state) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    state.SkipWithError("needs a display (run it on the test desktop)");
    return;
  }
  TestWindow front;
  if (!front.start()) {
    state.SkipWithError("the test window did not come up");
    return;
  }
  TimedX11Tap tap;
  KeyboardTap::install(&tap);
  double deliveredAtMs = 0;
  HotKeyManager::shared().start([&](HotKeyCombo) { deliveredAtMs = monotonicMs(); });
  if (!HotKeyManager::shared().isListening()) {
    state.SkipWithError("the listener did not start");
    KeyboardTap::install(nullptr);
    return;
  }
  double worstMs = 0;
  for (auto _ : state) {
    deliveredAtMs = 0;
    // Typed by another process while this one keeps its event loop running,
    // as it would when the user presses the keys.
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {"keydown", "alt", "key", "q", "keyup", "alt"});
    QElapsedTimer waited;
    waited.start();
    while (deliveredAtMs == 0 && waited.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    xdotool.waitForFinished();
    const double latencyMs = deliveredAtMs - static_cast<double>(tap.keyDownAtMs);
    worstMs = std::max(worstMs, latencyMs);
    state.SetIterationTime(latencyMs / 1000.0);
  }
  state.counters["worst_ms"] = worstMs;
  HotKeyManager::shared().stop();
  KeyboardTap::install(nullptr);
}
BENCHMARK(BM_XEventToDelivery)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);

// How long an Alt hotkey holds the desktop's keyboard while this program's
// main thread is busy (300 ms from just before the press): from the press
// until the application in front is shown the mask key, which comes just
// before the keyboard is let go, and until it gets the key typed right
// after. Server time stamps: whole milliseconds.
void BM_AltHotkeyHoldsTheKeyboard(benchmark::State& state) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    state.SkipWithError("needs a display (run it on the test desktop)");
    return;
  }
  TestKeyWatcher front;
  if (!front.start()) {
    state.SkipWithError("the key watcher did not come up");
    return;
  }
  X11KeyboardTap tap;
  KeyboardTap::install(&tap);
  int delivered = 0;
  HotKeyManager::shared().start([&](HotKeyCombo) { ++delivered; });
  using Key = TestKeyWatcher::Key;
  double worstMaskMs = 0, worstNextKeyMs = 0;
  qsizetype seen = 0;
  for (auto _ : state) {
    const int before = delivered;
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {"sleep", "0.05", "keydown", "alt", "key", "q", "keyup", "alt", "key", "z"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto typedAfter = [&](const Key& key) { return key.press && key.keycode == 52; };
    const bool arrived = waitUntil([&] {
      const QList<Key> keys = front.keys().mid(seen);
      return delivered > before && std::any_of(keys.begin(), keys.end(), typedAfter) &&
             xdotool.state() == QProcess::NotRunning;
    });
    const QList<Key> keys = front.keys().mid(seen);
    seen += keys.size();
    const auto mask = std::find_if(keys.begin(), keys.end(), [](const Key& key) { return key.sent && key.press; });
    const auto next = std::find_if(keys.begin(), keys.end(), typedAfter);
    if (!arrived || mask == keys.end() || next == keys.end()) {
      state.SkipWithError("a key did not arrive");
      break;
    }
    worstMaskMs = std::max(worstMaskMs, double(mask->delayMs));
    worstNextKeyMs = std::max(worstNextKeyMs, double(next->delayMs));
    state.SetIterationTime(double(mask->delayMs) / 1000.0);
  }
  state.counters["worst_mask_ms"] = worstMaskMs;
  state.counters["worst_next_key_ms"] = worstNextKeyMs;
  HotKeyManager::shared().stop();
  KeyboardTap::install(nullptr);
}
BENCHMARK(BM_AltHotkeyHoldsTheKeyboard)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);

// One copy chord typed through XTEST, with the given number of keyboard taps
// running (the listener's and the hotkey recording's): each reads up to the
// typed keys to mark them as the program's own.
void BM_TypeChordWithTaps(benchmark::State& state) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    state.SkipWithError("needs a display (run it on the test desktop)");
    return;
  }
  std::vector<std::unique_ptr<X11KeyboardTap>> taps;
  for (int i = 0; i < state.range(0); ++i) {
    taps.push_back(std::make_unique<X11KeyboardTap>());
    if (!taps.back()->start([](const KeyTapEvent&) { return false; }, {})) {
      state.SkipWithError("a tap did not start");
      return;
    }
  }
  X11SyntheticKeyboard keyboard;
  for (auto _ : state) {
    if (!keyboard.typeChord({KeyChord::Key::c, false})) state.SkipWithError("the chord was not typed");
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_TypeChordWithTaps)->Arg(0)->Arg(2)->Iterations(300)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }
