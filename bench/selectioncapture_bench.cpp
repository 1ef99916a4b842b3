// What a start of a recording spends reading the selection of the application
// in front: through AT-SPI (the desktop's focused element, then the
// application's found by a search of its window), and by the copy command
// with the clipboard saved and put back; the same in LibreOffice Writer and
// Kate; and the time from a press to the microphone's first frame while that
// happens. Needs the test desktop (and Writer and Kate for theirs):
//   source scripts/test-desktop.sh; start_test_desktop; build/bench/selectioncapture_bench
#include "pipeline/apphotkeyhandler.h"
#include "pipeline/audiorecorder.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionmanager.h"
#include "pipeline/selectionsnapshot.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/linux/atspifrontcheck.h"
#include "platform/linux/qtaudioengine.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11synthetickeyboard.h"
#include "service/authstore.h"

#include "awaittask.h"
#include "benchmain.h"
#include "fakemicrophoneaccess.h"
#include "officeeditor.h"
#include "recordingoverlaypresenter.h"
#include "testkeyboard.h"
#include "testkeygrabber.h"
#include "testmicrophone.h"
#include "testwindow.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

AtspiAccessibility* accessibility = nullptr;
TestWindow* testWindow = nullptr;

// Lets the program's event loop catch up between two captures, as it does
// between two requests.
void settle(benchmark::State& state) {
  state.PauseTiming();
  waitUntil([] { return false; }, std::chrono::milliseconds(20));
  state.ResumeTiming();
}

void expect(benchmark::State& state, const std::optional<SelectionSnapshot>& snapshot, SelectionSnapshot::Source source,
            const QString& text = QStringLiteral("brave")) {
  if (!snapshot || snapshot->source != source || snapshot->text != text) {
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

// The part of a capture that makes sure the focused field belongs to the
// application in front: which window is active, and whose process it is.
void BM_FrontCheckOfTheFocusedField(benchmark::State& state) {
  const auto pid = qint32(testWindow->processId());
  for (auto _ : state) {
    if (AtspiFrontCheck::byProcess(pid) != AtspiFrontCheck::Verdict::inFront) {
      state.SkipWithError("the test window is not in front");
      return;
    }
  }
}
BENCHMARK(BM_FrontCheckOfTheFocusedField)->Unit(benchmark::kMicrosecond)->Iterations(200);

// The desktop's focused field in a sandboxed application (launched as Flatpak
// does, reaching the bus through its proxy): the proxy's and the window's
// processes are matched through the process tree.
void captureSandboxedFocus(benchmark::State& state) {
  TestWindow sandboxed;
  sandboxed.setSandboxed(true);
  if (!sandboxed.start(TestWindow::Kind::gtkEditor) ||
      !sandboxed.command(QStringLiteral("text hello brave new world")) ||
      !sandboxed.command(QStringLiteral("select 6 11")) ||
      !waitUntil([] { return SelectionSnapshot::captureSystemWide().has_value(); })) {
    state.SkipWithError("the sandboxed editor did not come up (needs bwrap and xdg-dbus-proxy)");
    return;
  }
  for (auto _ : state) {
    expect(state, SelectionSnapshot::captureSystemWide(), SelectionSnapshot::Source::axSystemWide);
    settle(state);
  }
}
void BM_CaptureSandboxedFocus(benchmark::State& state) {
  Accessibility::install(accessibility);
  captureSandboxedFocus(state);
  // The test window in front again, for the benchmarks that follow.
  waitUntil([] {
    const auto app = FrontApplication::current().frontmost();
    return app && app->pid == testWindow->processId();
  });
}
BENCHMARK(BM_CaptureSandboxedFocus)->Unit(benchmark::kMillisecond)->Iterations(50);

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

// A dictation press with nothing selected in an editor without
// accessibility, through the request flow on a prepared recorder: from the
// press to the first frame read from the sound server. The copy command finds
// nothing and waits its full 0.3 s meanwhile; the microphone must not wait for
// it (budget: under 30 ms). A watcher thread notes the first frame, as the
// main thread is busy with the selection then. "start_call_ms" is how long
// the press kept the main thread.
void BM_PressToFirstCapturedFrame(benchmark::State& state) {
  Accessibility::install(accessibility);
  FakeMicrophoneAccess microphoneAccess{MicrophoneAccess::Authorization::authorized};
  RecordingOverlayPresenter overlays;
  AuthStore::shared().setToken(QStringLiteral("token"));
  PermissionManager::shared().refresh();
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
  if (!engine || !engine->inputFormat().isValid() || !microphone.play(TestMicrophone::silence(1000ms), true)) {
    state.SkipWithError("no sound server with the test microphone (see the top of the file)");
    return;
  }
  TestWindow inaccessible;
  inaccessible.setEnvironment(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
  if (!inaccessible.start(TestWindow::Kind::gtkEditor) || !waitUntil([&] {
        const auto app = FrontApplication::current().frontmost();
        return app && app->pid == inaccessible.processId();
      })) {
    state.SkipWithError("the GTK editor did not come up");
    return;
  }
  AppHotKeyHandler flow(recorder, HistoryStore::shared());

  double callMs = 0.0;
  for (auto _ : state) {
    const quint64 before = engine->capturedFrames();
    const SteadyClock::time_point pressedAt = SteadyClock::now();
    SteadyClock::time_point capturedAt;
    std::thread watcher([&] {
      while (engine->capturedFrames() == before && SteadyClock::now() - pressedAt < 2s) {
        std::this_thread::sleep_for(100us);
      }
      capturedAt = SteadyClock::now();
    });
    flow.handleHotKey(HotKeyCombo::transcribe);
    callMs += std::chrono::duration<double, std::milli>(SteadyClock::now() - pressedAt).count();
    const bool started = waitUntil(
        [&] { return recorder.state() == RecordingState::recording && !flow.isStartingRecording(); }, 3s);
    watcher.join();
    if (!started || flow.selectionSnapshot()) {
      state.SkipWithError(started ? "a selection was found" : "the recording did not start");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(capturedAt - pressedAt).count());
    flow.cancelRecording();
    waitUntil([&] { return recorder.state() == RecordingState::idle; });
  }
  state.counters["start_call_ms"] = callMs / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PressToFirstCapturedFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// "beta" selected in "alpha beta gamma" in a big editor. Writer announces its
// window's root pane, Kate a cell of a side list: their focused text is
// searched for below the active window, through the Collection interface in
// Writer and by a walk in Kate.
//
// BM_SearchIn*: the first search of an application, a fresh accessibility
// service each time, which knows no focus and found nothing before.
// BM_CaptureAtAPressIn*: the capture as a press makes it, after each press of
// a grabbed key (Writer announces its root pane again at every one).
bool openEditorWithTheWordSelected(benchmark::State& state, OfficeEditor& editor) {
  if (!editor.open(QStringLiteral("alpha beta gamma")) || !TestKeyboard::selectWithKeys(6, 4) ||
      !waitUntil([&] { return editor.shown().value_or(OfficeEditor::Shown{}).selection == u"6-10"; }, 10s)) {
    state.SkipWithError("the editor did not come up (needs libreoffice-writer, libreoffice-gtk3 and kate)");
    return false;
  }
  return true;
}

void searchIn(benchmark::State& state, OfficeEditor::Kind kind) {
  OfficeEditor editor(kind);
  if (!openEditorWithTheWordSelected(state, editor)) return;
  const qint32 pid = FrontApplication::current().frontmost().value_or(RunningApplication{}).pid;
  for (auto _ : state) {
    AtspiAccessibility fresh;
    const AXAttributeResult found = fresh.focusedElement(pid, AtspiDeadline::after(1000ms));
    const auto* element = std::get_if<AXElementRef>(&found.value);
    if (found.error != AXError::success || !element ||
        SelectionSnapshot::readStringAttribute(AXAttribute::selectedText, *element) != QStringLiteral("beta")) {
      state.SkipWithError("the search did not find the selected word");
    }
  }
}
void BM_SearchInWriter(benchmark::State& state) { searchIn(state, OfficeEditor::Kind::libreOfficeWriter); }
void BM_SearchInKate(benchmark::State& state) { searchIn(state, OfficeEditor::Kind::kate); }
BENCHMARK(BM_SearchInWriter)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_SearchInKate)->Unit(benchmark::kMillisecond)->Iterations(20);

void captureAtAPressIn(benchmark::State& state, OfficeEditor::Kind kind) {
  Accessibility::install(accessibility);
  TestKeyGrabber grabber;
  OfficeEditor editor(kind);
  if (!grabber.grab({QStringLiteral("alt"), QStringLiteral("F9")}) || !openEditorWithTheWordSelected(state, editor)) {
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    TestKeyboard::run({QStringLiteral("key"), QStringLiteral("alt+F9")});
    waitUntil([] { return false; }, 100ms);  // what the press made the editor announce
    state.ResumeTiming();
    expect(state, SelectionSnapshot::capture(), SelectionSnapshot::Source::axSystemWide, QStringLiteral("beta"));
  }
}
void BM_CaptureAtAPressInWriter(benchmark::State& state) {
  captureAtAPressIn(state, OfficeEditor::Kind::libreOfficeWriter);
}
void BM_CaptureAtAPressInKate(benchmark::State& state) { captureAtAPressIn(state, OfficeEditor::Kind::kate); }
BENCHMARK(BM_CaptureAtAPressInWriter)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_CaptureAtAPressInKate)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    std::fprintf(stderr, "selectioncapture_bench needs the test desktop (see the top of the file)\n");
    return 1;
  }
  X11AccessibilityTrust trust;
  X11FrontApplication front;
  X11SyntheticKeyboard keyboard;
  std::unique_ptr<X11Pasteboard> pasteboard;
  std::unique_ptr<AtspiAccessibility> atspi;
  std::unique_ptr<TestWindow> window;
  return runBenchmarks<QApplication>(
      argc, argv,
      [&] {
        AccessibilityTrust::install(&trust);
        FrontApplication::install(&front);
        SyntheticKeyboard::install(&keyboard);
        pasteboard = std::make_unique<X11Pasteboard>();
        Pasteboard::install(pasteboard.get());
        atspi = std::make_unique<AtspiAccessibility>();
        atspi->start();
        accessibility = atspi.get();
        window = std::make_unique<TestWindow>();
        testWindow = window.get();
        if (!window->start() || !window->command(QStringLiteral("text hello brave new world")) ||
            !window->command(QStringLiteral("select 6 11")) ||
            !waitUntil([&] { return front.frontmost() && front.frontmost()->pid == window->processId(); })) {
          std::fprintf(stderr, "the test window did not come up\n");
          return false;
        }
        // The copy leaves something to save and put back.
        pasteboard->setString(QStringLiteral("what the user copied before"));
        return true;
      },
      [&] {
        Accessibility::install(nullptr);
        window.reset();
        atspi.reset();
        Pasteboard::install(nullptr);
        pasteboard.reset();
        SyntheticKeyboard::install(nullptr);
        FrontApplication::install(nullptr);
        AccessibilityTrust::install(nullptr);
      });
}
