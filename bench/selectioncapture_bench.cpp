// What a start of a recording spends reading the selection of the application
// in front: through AT-SPI (the desktop's focused element, then the
// application's found by a search of its window), and by the copy command
// with the clipboard saved and put back. Needs the test desktop:
//   source scripts/test-desktop.sh; start_test_desktop; build/bench/selectioncapture_bench
#include "pipeline/selectionsnapshot.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11synthetickeyboard.h"

#include "awaittask.h"
#include "testwindow.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

AtspiAccessibility* accessibility = nullptr;

// Lets the program's event loop catch up between two captures, as it does
// between two requests.
void settle(benchmark::State& state) {
  state.PauseTiming();
  waitUntil([] { return false; }, std::chrono::milliseconds(20));
  state.ResumeTiming();
}

void expect(benchmark::State& state, const std::optional<SelectionSnapshot>& snapshot, SelectionSnapshot::Source source) {
  if (!snapshot || snapshot->source != source || snapshot->text != QStringLiteral("brave")) {
    state.SkipWithError("the capture did not find the selection the expected way");
  }
}

void BM_CaptureDesktopFocus(benchmark::State& state) {
  Accessibility::install(accessibility);
  for (auto _ : state) {
    expect(state, SelectionSnapshot::capture(), SelectionSnapshot::Source::axSystemWide);
    settle(state);
  }
}
BENCHMARK(BM_CaptureDesktopFocus)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_CaptureApplicationFocus(benchmark::State& state) {
  Accessibility::install(accessibility);
  for (auto _ : state) {
    expect(state, SelectionSnapshot::captureApplication(), SelectionSnapshot::Source::axApplication);
    settle(state);
  }
}
BENCHMARK(BM_CaptureApplicationFocus)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_CaptureByCopy(benchmark::State& state) {
  Accessibility::install(nullptr);  // no accessibility: the copy command is the way
  for (auto _ : state) {
    expect(state, SelectionSnapshot::capture(), SelectionSnapshot::Source::cmdCopy);
    settle(state);
  }
}
BENCHMARK(BM_CaptureByCopy)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    std::fprintf(stderr, "selectioncapture_bench needs the test desktop (see the top of the file)\n");
    return 1;
  }
  QApplication app(argc, argv);
  X11AccessibilityTrust trust;
  AccessibilityTrust::install(&trust);
  X11FrontApplication front;
  FrontApplication::install(&front);
  X11SyntheticKeyboard keyboard;
  SyntheticKeyboard::install(&keyboard);
  X11Pasteboard pasteboard;
  Pasteboard::install(&pasteboard);
  AtspiAccessibility atspi;
  atspi.start();
  accessibility = &atspi;

  TestWindow testWindow;
  if (!testWindow.start() || !testWindow.command(QStringLiteral("text hello brave new world")) ||
      !testWindow.command(QStringLiteral("select 6 11")) ||
      !waitUntil([&] { return front.frontmost() && front.frontmost()->pid == testWindow.processId(); })) {
    std::fprintf(stderr, "the test window did not come up\n");
    return 1;
  }
  // The copy leaves something to save and put back.
  pasteboard.setString(QStringLiteral("what the user copied before"));

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Accessibility::install(nullptr);
  return 0;
}
