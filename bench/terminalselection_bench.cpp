// What a request spends on a real xterm: reading the word highlighted in it
// (its PRIMARY selection, no key sent, once the clicks since it was taken are
// counted), and how long a paste keeps the user's
// PRIMARY lent, from the paste to the user's highlight back after xterm read
// the text. Needs the test desktop and xterm:
//   source scripts/test-desktop.sh; start_test_desktop; build/bench/terminalselection_bench
#include "pipeline/selectionsnapshot.h"
#include "pipeline/textinserter.h"
#include "platform/accessibilitytrust.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11primaryhighlightwatch.h"
#include "platform/x11/x11synthetickeyboard.h"

#include "awaittask.h"
#include "benchmain.h"
#include "fakeaccessibilitytrust.h"
#include "recordingoverlaypresenter.h"
#include "testkeyboard.h"
#include "terminalwindow.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

using namespace std::chrono_literals;

X11Pasteboard* primary = nullptr;

void BM_ReadXtermHighlight(benchmark::State& state) {
  for (auto _ : state) {
    const std::optional<SelectionSnapshot> snapshot = SelectionSnapshot::capture();
    if (!snapshot || snapshot->text != QStringLiteral("new")) {
      state.SkipWithError("the highlighted word was not read");
      return;
    }
  }
}
BENCHMARK(BM_ReadXtermHighlight)->Unit(benchmark::kMillisecond)->Iterations(50);

// Each paste types a word at the prompt; the shell's line is emptied at the
// end, outside the timing.
void BM_PasteIntoXtermUntilTheUsersHighlightIsBack(benchmark::State& state) {
  FakeAccessibilityTrust trust{true};
  RecordingOverlayPresenter overlays;
  TextInserter inserter;
  const QString highlight = QStringLiteral("the user's highlight");
  for (auto _ : state) {
    state.PauseTiming();
    primary->setString(highlight);
    waitUntil([] { return false; }, 20ms);
    state.ResumeTiming();
    inserter.pasteText(QStringLiteral("word "), std::nullopt);
    if (!waitUntil([&] { return primary->string() == highlight; }, 3s)) {
      state.SkipWithError("the user's highlight did not come back");
      return;
    }
  }
  TestKeyboard::run({"key", "ctrl+u"});  // empties the shell's line
}
BENCHMARK(BM_PasteIntoXtermUntilTheUsersHighlightIsBack)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    std::fprintf(stderr, "terminalselection_bench needs the test desktop (see the top of the file)\n");
    return 1;
  }
  X11FrontApplication front;
  X11SyntheticKeyboard keyboard;
  std::unique_ptr<X11Pasteboard> clipboard, selection;
  std::unique_ptr<X11PrimaryHighlightWatch> highlightWatch;
  std::unique_ptr<TerminalWindow> window;
  return runBenchmarks<QApplication>(
      argc, argv,
      [&] {
        FrontApplication::install(&front);
        SyntheticKeyboard::install(&keyboard);
        clipboard = std::make_unique<X11Pasteboard>();
        Pasteboard::install(clipboard.get());
        selection = std::make_unique<X11Pasteboard>(X11Pasteboard::Selection::primary);
        Pasteboard::installPrimarySelection(selection.get());
        primary = selection.get();
        highlightWatch = std::make_unique<X11PrimaryHighlightWatch>();
        PrimaryHighlightWatch::install(highlightWatch.get());
        window = std::make_unique<TerminalWindow>(TerminalWindow::Program::xterm);
        if (!window->start(QStringLiteral("brave new world")) ||
            !waitUntil([&] { return front.frontmost() && front.frontmost()->pid == window->processId(); }) ||
            !window->click(0, 7, 2) ||
            !waitUntil([&] { return selection->isOwnedBy(front.frontmost().value_or(RunningApplication{})); })) {
          std::fprintf(stderr, "xterm did not come up with its word highlighted\n");
          return false;
        }
        return true;
      },
      [&] {
        window.reset();
        PrimaryHighlightWatch::install(nullptr);
        highlightWatch.reset();
        Pasteboard::installPrimarySelection(nullptr);
        Pasteboard::install(nullptr);
        selection.reset();
        clipboard.reset();
        SyntheticKeyboard::install(nullptr);
        FrontApplication::install(nullptr);
      });
}
