// A request while the application in front has stopped answering (here a
// real editor stopped with SIGSTOP, as a hung one is): its accessibility
// never answers, nor does its clipboard. Each way of reading the selection
// gives up within its own time, whatever the number of calls it makes, and
// once the editor has not answered the next ones do not ask it again; so the
// press holds the program little longer than one of those times and the
// copy, and the next press still ends the recording with one upload.
#include "desktopeditor.h"
#include "desktopflow.h"
#include "testmicrophone.h"
#include "testwindow.h"
#include "tracelines.h"

#include "pipeline/selectionsnapshot.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTimer>

#include <csignal>

using namespace std::chrono_literals;

namespace {

// The first accessibility capture (1 s), which finds the editor silent: the
// other capture and the copy's editability probe take it as silent without
// asking again. Then the copy (0.3 s), and what the press does besides (the
// recording indicator, the clipboard context), which takes milliseconds. Each
// step asking anew would hold the press up to 2.8 s.
constexpr auto longestHold = 2000ms;

class SilentApplication : public DesktopFlow {
 protected:
  // Until accessibility reads the word, the program has not met the
  // application yet: the stop would then cost it less than a real hang does.
  // Each read gives up after its second, and an application that builds its
  // accessible tree on the first questions, on a machine busy with other
  // tests, may need many.
  static bool accessibilityReads(const QString& word) {
    return waitUntil([&] {
      const std::optional<SelectionSnapshot> read = SelectionSnapshot::captureSystemWide();
      return read && read->text == word;
    }, 30s);
  }

  // One dictation of `buffers` buffers while the application in front is
  // silent: it gives one upload, and each of its two presses holds the main
  // thread (from the press reaching the program to its event loop running
  // again) no longer than longestHold. The first press reads the selection
  // at the start, the second once more at the stop, since the start found none.
  void dictateWhileSilent(int buffers) {
    answerNext("transcribe", "paste", "said");
    TestMicrophone microphone;
    ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, 1000ms, 0.5), true));
    const auto held = std::make_shared<QList<qint64>>();
    onPress = [held] {
      auto clock = std::make_shared<QElapsedTimer>();
      clock->start();
      QTimer::singleShot(0, [held, clock] { *held << clock->elapsed(); });
    };
    clearTrace();
    ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate, buffers));
    waitUntil([] { return false; }, 500ms);
    EXPECT_EQ(service.requestCount(), 1);
    ASSERT_EQ(held->size(), 2);
    for (const qint64 milliseconds : *held) {
      EXPECT_LE(milliseconds, longestHold.count()) << traceLines().join(u'\n').toStdString();
    }
  }
};

TEST_F(SilentApplication, HoldsThePressNoLongerThanTheCapturesTimesAndTheNextPressStillUploads) {
  DesktopEditor editor(DesktopEditor::Program::mousepad);
  ASSERT_TRUE(editor.open(QStringLiteral("alpha beta gamma")));
  ASSERT_TRUE(isInFront(editor.processId()));
  ASSERT_TRUE(TestKeyboard::selectWithKeys(6, 4));
  ASSERT_TRUE(accessibilityReads(QStringLiteral("beta")));

  const auto pid = pid_t(editor.processId());
  ASSERT_EQ(::kill(pid, SIGSTOP), 0);
  const auto resume = qScopeGuard([pid] { ::kill(pid, SIGCONT); });
  dictateWhileSilent(6);
}

// A Qt application whose window's thread hangs while its bus thread still
// answers the accessibility bus's ping: the ping passes, and it is the
// application's answers to the real questions that never come. The first
// capture runs out of time, and the other steps take the application as
// silent. The user speaks longer than the two seconds that lasts, so the
// stop press asks the application anew.
TEST_F(SilentApplication, AHungApplicationThatStillAnswersThePingHoldsThePressNoLonger) {
  TestWindow window;
  ASSERT_TRUE(window.start(TestWindow::Kind::qt));
  ASSERT_TRUE(window.command(QStringLiteral("text alpha beta gamma")));
  ASSERT_TRUE(window.command(QStringLiteral("select 6 10")));
  ASSERT_TRUE(isInFront(window.processId()));
  ASSERT_TRUE(accessibilityReads(QStringLiteral("beta")));

  ASSERT_TRUE(window.command(QStringLiteral("hang 20000")));
  dictateWhileSilent(40);
}

// A Qt application that answers the lookup of its focused field, then hangs:
// - after answering the read of the selected text, before the reads that
//   follow (the range, the role, whether it takes typing): those share what
//   is left of the capture's time rather than waiting out a time of their own
//   each;
// - at the first question about the field's selection: that one read, left
//   unanswered, takes the capture's time and is all that shows the
//   application silent.
// Either way the other steps take the application as silent.
class ApplicationSilentAfterItsLookup : public SilentApplication,
                                        public ::testing::WithParamInterface<const char*> {};

TEST_P(ApplicationSilentAfterItsLookup, HoldsThePressNoLonger) {
  TestWindow window;
  window.setEnvironment(QStringLiteral("VELTRINE_TESTWINDOW_OWN_ACCESSIBILITY"), QStringLiteral("1"));
  ASSERT_TRUE(window.start(TestWindow::Kind::qt));
  ASSERT_TRUE(window.command(QStringLiteral("text alpha beta gamma")));
  ASSERT_TRUE(window.command(QStringLiteral("select 6 10")));
  ASSERT_TRUE(isInFront(window.processId()));
  ASSERT_TRUE(accessibilityReads(QStringLiteral("beta")));

  ASSERT_TRUE(window.command(QLatin1String(GetParam()) + QStringLiteral(" 20000")));
  // However the reads after the hang fail (out of time, or at once once the
  // application is taken as silent), the press is held no longer.
  dictateWhileSilent(6);
}

INSTANTIATE_TEST_SUITE_P(Hangs, ApplicationSilentAfterItsLookup, ::testing::Values("hangafterread", "hangatselection"),
                         [](const auto& info) {
                           return std::string(info.param == std::string("hangafterread") ? "BetweenTheReads"
                                                                                         : "AtTheFirstRead");
                         });

}  // namespace
