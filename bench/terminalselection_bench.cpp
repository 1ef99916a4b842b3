// What a request spends on a real xterm: reading the word highlighted in it
// (its PRIMARY selection, no key sent, once the clicks since it was taken are
// counted), and how long a paste keeps the user's
// PRIMARY lent, from the paste to the user's highlight back after xterm read
// the text. Then what a press spends reading the selection of a real Konsole
// with cat running in it: with nothing selected (accessibility says so, and
// no key is typed where a copy key used to wait 0.3 s for nothing and
// interrupt cat), and with the word "new" highlighted, through accessibility
// and from PRIMARY where Konsole shows nothing to accessibility. Last, how
// long the paste key waits for Konsole and MATE Terminal to ask for the
// clipboard's formats. Needs the test desktop, xterm, Konsole and MATE
// Terminal:
//   source scripts/test-desktop.sh; start_test_desktop; build/bench/terminalselection_bench
#include "pipeline/selectionsnapshot.h"
#include "pipeline/textinserter.h"
#include "platform/accessibilitytrust.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11primaryhighlightwatch.h"
#include "platform/x11/x11synthetickeyboard.h"

#include "awaittask.h"
#include "benchmain.h"
#include "fakeaccessibility.h"
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
    awaitTask(inserter.pasteText(QStringLiteral("word "), std::nullopt));
    if (!waitUntil([&] { return primary->string() == highlight; }, 3s)) {
      state.SkipWithError("the user's highlight did not come back");
      return;
    }
  }
  TestKeyboard::run({"key", "ctrl+u"});  // empties the shell's line
}
BENCHMARK(BM_PasteIntoXtermUntilTheUsersHighlightIsBack)->Unit(benchmark::kMillisecond)->Iterations(20);

std::unique_ptr<TerminalWindow> konsole;

// Konsole in front of xterm with cat running, started by the first benchmark that needs it.
bool konsoleInFront() {
  if (konsole) return true;
  konsole = std::make_unique<TerminalWindow>(TerminalWindow::Program::konsole);
  return konsole->start(QStringLiteral("brave new world")) && waitUntil([] {
           const auto app = FrontApplication::current().frontmost();
           return app && app->pid == konsole->processId();
         }) && konsole->startLineReader();
}

// Reads the selection until the state is over; an error when it finds other
// than `expected` or when cat was interrupted.
void captureInKonsole(benchmark::State& state, const std::optional<QString>& expected) {
  FakeAccessibilityTrust trust{true};
  for (auto _ : state) {
    const std::optional<SelectionSnapshot> snapshot = SelectionSnapshot::capture();
    if ((snapshot ? std::optional(snapshot->text) : std::nullopt) != expected) {
      state.SkipWithError("another selection was read");
      return;
    }
  }
  if (!konsole->lineReaderRuns()) state.SkipWithError("cat was interrupted");
}

void BM_KonsoleWithNothingSelected(benchmark::State& state) {
  if (!konsoleInFront() || !konsole->click(8, 7, 1)) return state.SkipWithError("Konsole did not come up");
  captureInKonsole(state, std::nullopt);
}
BENCHMARK(BM_KonsoleWithNothingSelected)->Unit(benchmark::kMillisecond)->Iterations(50);

// Double clicks "new" in the line "brave new world" at the top.
bool highlightNewInKonsole() {
  const auto app = FrontApplication::current().frontmost();
  return konsoleInFront() && app && konsole->click(0, 7, 2) &&
         waitUntil([&] { return primary->isOwnedBy(*app) && primary->string() == QStringLiteral("new"); });
}

void BM_KonsoleHighlightThroughAccessibility(benchmark::State& state) {
  if (!highlightNewInKonsole()) return state.SkipWithError("the word was not highlighted");
  captureInKonsole(state, QStringLiteral("new"));
}
BENCHMARK(BM_KonsoleHighlightThroughAccessibility)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_KonsoleHighlightFromPrimary(benchmark::State& state) {
  if (!highlightNewInKonsole()) return state.SkipWithError("the word was not highlighted");
  Accessibility& real = Accessibility::current();
  {
    FakeAccessibility none;  // as where Konsole shows nothing to accessibility
    captureInKonsole(state, QStringLiteral("new"));
  }
  Accessibility::install(&real);
}
BENCHMARK(BM_KonsoleHighlightFromPrimary)->Unit(benchmark::kMillisecond)->Iterations(50);

// From the answer to the paste key: the key waits for the program in front
// to ask for the clipboard's formats where it asks when the clipboard changes
// hands. Konsole never asks: it is given 60 ms at most. MATE Terminal asks
// within milliseconds of every change (and pastes only what the answer
// allowed): its key goes out once it has been answered.
void pasteUntilTheKeyIsTyped(benchmark::State& state) {
  FakeAccessibilityTrust trust{true};
  RecordingOverlayPresenter overlays;
  TextInserter inserter;
  for (auto _ : state) {
    state.PauseTiming();
    waitUntil([] { return false; }, 30ms);  // the paste before has been read
    state.ResumeTiming();
    if (!awaitTask(inserter.pasteText(QStringLiteral("x"), std::nullopt))) {
      state.SkipWithError("the paste key did not go out");
      return;
    }
  }
  TestKeyboard::run({"key", "ctrl+u"});  // empties the line
}

void BM_PasteKeyIntoKonsole(benchmark::State& state) {
  if (!konsoleInFront()) return state.SkipWithError("Konsole did not come up");
  pasteUntilTheKeyIsTyped(state);
}
BENCHMARK(BM_PasteKeyIntoKonsole)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_PasteKeyIntoMateTerminal(benchmark::State& state) {
  TerminalWindow mate(TerminalWindow::Program::mateterminal);
  if (!mate.start(QStringLiteral("brave new world")) || !waitUntil([&] {
        const auto app = FrontApplication::current().frontmost();
        return app && app->pid == mate.processId();
      })) {
    return state.SkipWithError("MATE Terminal did not come up");
  }
  pasteUntilTheKeyIsTyped(state);
}
BENCHMARK(BM_PasteKeyIntoMateTerminal)->Unit(benchmark::kMillisecond)->Iterations(20);

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
  std::unique_ptr<AtspiAccessibility> accessibility;
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
        accessibility = std::make_unique<AtspiAccessibility>();
        accessibility->start();  // before the terminals take the focus, as in the program
        Accessibility::install(accessibility.get());
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
        konsole.reset();
        window.reset();
        Accessibility::install(nullptr);
        accessibility.reset();
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
