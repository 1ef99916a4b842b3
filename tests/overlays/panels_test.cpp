#include "core/appevents.h"
#include "core/clock.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "overlays/chipbutton.h"
#include "overlays/clarifyoverlayview.h"
#include "overlays/clarifyoverlaywindowcontroller.h"
#include "overlays/markdownscrollview.h"
#include "overlays/markdowntextview.h"
#include "overlays/overlayclosebutton.h"
#include "overlays/overlaypanel.h"
#include "overlays/paneloverlaypresenter.h"
#include "overlays/recordingoverlayview.h"
#include "overlays/recordingoverlaywindowcontroller.h"
#include "overlays/resultoverlayview.h"
#include "overlays/resultoverlaywindowcontroller.h"
#include "overlays/tipoverlayview.h"
#include "overlays/tipoverlaywindowcontroller.h"
#include "pipeline/audiorecorder.h"
#include "theme/fontbook.h"

#include "awaittask.h"
#include "fakeaudioengine.h"
#include "fakepanelwindowrole.h"
#include "fakepasteboard.h"
#include "shownpage.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

#include <functional>
#include <thread>

#include <gtest/gtest.h>

namespace {

bool visible(const OverlayPanel* panel) { return panel && panel->isVisible(); }

// The texts of the labels and buttons a user sees on `root`.
QStringList shownTexts(const QWidget& root) {
  QStringList texts;
  for (const QLabel* label : root.findChildren<QLabel*>()) texts << (label->isVisible() ? label->text() : QString());
  for (const QAbstractButton* b : root.findChildren<QAbstractButton*>()) texts << (b->isVisible() ? b->text() : QString());
  return texts;
}

std::string faults(const QWidget& root) {
  settleLayout();
  std::string all;
  for (const std::string& fault : shownPageFaults(root)) all += fault + "\n";
  return all;
}

// The panels are shared by the whole program: each test leaves them hidden, the
// clock at its pace and the language as it found them. Delays run 100 times faster.
class Panels : public ::testing::Test {
 protected:
  void SetUp() override { Clock::setTimeScaleForTesting(0.01); }
  void TearDown() override {
    for (OverlayPanel* panel : {tip.panel(), clarify.panel(), result.panel()}) if (panel) panel->orderOut();
    setLanguage(language_);
    Clock::setTimeScaleForTesting(1.0);
  }
  static void setLanguage(AppLanguage language) {
    LanguageManager::shared().setCurrent(language);
    FontBook::shared().setLanguage(rawValue(language));
  }
  // Waits until the tip's four seconds have passed: time as the program counts it.
  void letFourSecondsPass() {
    tip.present(QStringLiteral("meanwhile"));
    ASSERT_TRUE(waitUntil([&] { return !visible(tip.panel()); }));
  }
  TipOverlayView* tipView() const { return qobject_cast<TipOverlayView*>(tip.panel()->contentView()); }
  ClarifyOverlayView* clarifyView() const { return qobject_cast<ClarifyOverlayView*>(clarify.panel()->contentView()); }
  ResultOverlayView* resultView() const { return result.hostingView(); }
  void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

  TipOverlayWindowController& tip = TipOverlayWindowController::shared();
  ClarifyOverlayWindowController& clarify = ClarifyOverlayWindowController::shared();
  ResultOverlayWindowController& result = ResultOverlayWindowController::shared();
  ResultOverlayViewModel& model = result.viewModel();
  const AppLanguage language_ = LanguageManager::shared().current();
};

// Every panel in each of its states, in every language: laid out without a
// fault, with the texts the user must read.
TEST_F(Panels, EachPanelInEachStateAndLanguageShowsItsTextsLaidOut) {
  const QString markdown = QStringLiteral(
      "# Weather\n## Today\nSunny, **24 °C**, light *wind*. Use `forecast --week`.\n---\n"
      "| Day | High |\n|---|--:|\n| Mon | 24 |\n\n- Source: [weather](https://example.com/weather)");
  Clock::setTimeScaleForTesting(1.0);  // nothing counts down or hides meanwhile
  for (AppLanguage language : allAppLanguages()) {
    SCOPED_TRACE(rawValue(language).toStdString());
    setLanguage(language);
    const AppStrings& strings = currentStrings();

    FakeAudioEngines engines;
    AudioRecorder recorder(engines.factory(), [] { return true; });
    recorder.setMaxDuration(10);  // the seconds left show at once
    RecordingOverlayWindowController recording(recorder);
    recording.show();
    const auto indicator = [&] { return recording.view()->indicator(); };
    EXPECT_EQ(faults(*recording.panel()), "") << "idle";
    ASSERT_TRUE(awaitTask(recorder.startRecording()));
    ASSERT_TRUE(engines.latest()->deliver(std::vector<float>(4096 * 2, 0.3f)));
    ASSERT_TRUE(waitUntil([&] { return recorder.countdown().has_value(); }));
    EXPECT_EQ(faults(*recording.panel()), "") << "recording";
    EXPECT_EQ(indicator().statusText(strings), strings.overlayRecording);
    EXPECT_EQ(indicator().countdownText(), QStringLiteral("%1s").arg(*recorder.countdown()));
    ASSERT_TRUE(awaitTask(recorder.stopRecording()).has_value());
    EXPECT_EQ(faults(*recording.panel()), "") << "processing";
    EXPECT_EQ(indicator().statusText(strings), strings.overlayRecognizing);
    EXPECT_EQ(indicator().countdownText(), QString());  // held, but not shown
    recording.hide();

    clarify.show(QString());
    EXPECT_EQ(clarifyView()->shownText(), strings.overlayClarifyFallback);
    EXPECT_LE(clarifyView()->cardHeight(), clarify.panel()->height());
    clarify.show(QStringLiteral("a\nb\nc\nd"));  // four short lines need more than their characters
    EXPECT_LE(clarifyView()->cardHeight(), clarify.panel()->height());
    clarify.hide();

    // These tips are read whole; a longer one is cut after two lines.
    for (const QString& message : {strings.errorMicrophoneLost, strings.hotkeyHeldElsewhereTip.arg("Ctrl+Shift+K, Alt+E")}) {
      tip.present(message);
      EXPECT_EQ(faults(*tip.panel()), "");
      EXPECT_FALSE(tipView()->shownLines().join(QString()).contains(QChar(0x2026))) << message.toStdString();
    }
    tip.present(QStringLiteral("one two three four five six seven eight nine ten eleven twelve thirteen fourteen "
                               "fifteen sixteen seventeen eighteen nineteen twenty twenty-one twenty-two"));
    ASSERT_EQ(tipView()->shownLines().size(), 2);
    EXPECT_TRUE(tipView()->shownLines()[1].endsWith(QChar(0x2026)));

    result.show(QStringLiteral("A result that could not be pasted: the field was read-only."), false, false);
    EXPECT_EQ(faults(*result.panel()), "") << "plain";
    for (const QString& shown : {strings.overlayResultTitle, QStringLiteral("30s"), strings.btnPin}) {
      EXPECT_TRUE(shownTexts(*result.panel()).contains(shown)) << shown.toStdString();
    }
    result.show(markdown, true, true);
    EXPECT_EQ(faults(*result.panel()), "") << "markdown, pinned";
    EXPECT_TRUE(shownTexts(*result.panel()).contains(strings.overlayResultPinned));
    FakePasteboard pasteboard;
    click(resultView()->copyButton());
    EXPECT_EQ(faults(*result.panel()), "") << "copied";
    EXPECT_TRUE(shownTexts(*result.panel()).contains(strings.btnCopied));
    result.hide();
  }
}

TEST_F(Panels, TheTipStaysFourSecondsUnlessClosedAndANewTipGetsItsOwn) {
  Clock::setTimeScaleForTesting(0.1);  // four seconds last 400 ms, the fade 35 ms
  QElapsedTimer shown;
  shown.start();
  tip.present(QStringLiteral("Credits are used up."));
  EXPECT_EQ(tip.panel()->windowOpacity(), 1.0);
  ASSERT_TRUE(waitUntil([&] { return tip.isFading(); }));
  ASSERT_TRUE(waitUntil([&] { return !visible(tip.panel()); }));
  EXPECT_GE(shown.elapsed(), 380);
  EXPECT_LT(tip.panel()->windowOpacity(), 0.1);

  tip.present(QStringLiteral("tip"));
  click(tipView()->closeButton());
  EXPECT_TRUE(tip.isFading());
  ASSERT_TRUE(waitUntil([&] { return !visible(tip.panel()); }));

  // A tip presented during the fade is shown at once, for its own four seconds.
  tip.present(QStringLiteral("first"));
  tip.dismiss();
  ASSERT_TRUE(tip.isFading());
  shown.restart();
  tip.present(QStringLiteral("second"));
  EXPECT_FALSE(tip.isFading());
  EXPECT_EQ(tip.panel()->windowOpacity(), 1.0);
  EXPECT_EQ(tipView()->message(), QStringLiteral("second"));
  ASSERT_TRUE(waitUntil([&] { return !visible(tip.panel()); }));
  EXPECT_GE(shown.elapsed(), 380);
}

TEST_F(Panels, TheClarifyCardGrowsWithTheQuestionAndAnotherQuestionGetsItsOwnFiveSeconds) {
  const struct {
    QString question;  // its characters as a reader counts them
    int height;
  } cases[] = {{QString(28, u'a'), 90}, {QString(29, u'a'), 98}, {QString(57, u'a'), 120}, {QString(300, u'a'), 140},
               {QString(29, u'字'), 98}, {QStringLiteral("👍🏽").repeated(29), 98}, {QStringLiteral("e\u0301").repeated(28), 90}};
  for (const auto& c : cases) EXPECT_EQ(clarifyPanelSize(c.question), QSize(360, c.height)) << c.question.toStdString();

  Clock::setTimeScaleForTesting(0.1);  // five seconds last 500 ms
  clarify.show(QStringLiteral("first?"));
  OverlayPanel* panel = clarify.panel();
  result.show(QStringLiteral("clock"), false, false);  // two seconds pass, as the result counts them
  ASSERT_TRUE(waitUntil([&] { return model.countdown() <= 28; }));
  result.hide();
  ASSERT_TRUE(visible(panel));
  QElapsedTimer sinceSecond;
  sinceSecond.start();
  clarify.show(QString(60, u'q'));
  EXPECT_EQ(clarify.panel(), panel);
  EXPECT_EQ(panel->size(), QSize(360, 120));
  ASSERT_TRUE(waitUntil([&] { return !visible(panel); }));
  EXPECT_GE(sinceSecond.elapsed(), 450);  // five seconds; timers may fire a little early
  // Clicks go through it to the window underneath.
  EXPECT_TRUE(panel->windowFlags().testFlag(Qt::WindowTransparentForInput));
}

TEST_F(Panels, TheResultPanelFitsPlainTextToItsCardAndMarkdownToAFixedPanel) {
  result.show(QStringLiteral("short"), false, false);
  const int shortHeight = result.panel()->height();
  result.show(QStringLiteral("A sentence that wraps across the card. ").repeated(5), false, false);
  EXPECT_TRUE(result.panel()->height() > shortHeight && result.panel()->height() < 240) << result.panel()->height();
  result.show(QStringLiteral("word ").repeated(4000), false, false);
  EXPECT_EQ(result.panel()->size(), QSize(420, 240));
  result.show(QStringLiteral("# Title"), true, false);
  EXPECT_EQ(result.panel()->size(), QSize(680, 600));
  EXPECT_TRUE(resultView()->markdownView()->isVisible());
}

TEST_F(Panels, TheResultCountsDownThirtySecondsPinningHoldsItAndAnotherShowingStartsOver) {
  QList<int> seen, expected{29};
  while (expected.last() > 0) expected.append(expected.last() - 1);
  QObject receiver;
  QObject::connect(&model, &ResultOverlayViewModel::countdownChanged, &receiver, [&] { seen.append(model.countdown()); });
  result.show(QStringLiteral("answer"), false, false);
  ASSERT_TRUE(waitUntil([&] { return !visible(result.panel()); }, std::chrono::seconds(10)));
  EXPECT_EQ(seen, expected);  // hidden on the tick that reaches zero

  result.show(QStringLiteral("answer"), false, false);
  ASSERT_TRUE(waitUntil([&] { return model.countdown() <= 26; }));
  click(resultView()->pinButton());
  const int held = model.countdown();
  EXPECT_EQ(resultView()->statusText(), currentStrings().overlayResultPinned);
  letFourSecondsPass();
  EXPECT_TRUE(visible(result.panel()));
  EXPECT_EQ(model.countdown(), held);
  click(resultView()->pinButton());
  EXPECT_EQ(resultView()->statusText(), QStringLiteral("%1s").arg(held));

  click(resultView()->pinButton());
  result.show(QStringLiteral("second"), false, false);
  EXPECT_FALSE(model.pinned());
  EXPECT_EQ(model.countdown(), 30);
}

TEST_F(Panels, CopyPutsTheTextOnTheClipboardAndHidesASecondLaterEvenWhenPinnedButNeverALaterShowing) {
  FakePasteboard pasteboard;
  result.show(QStringLiteral("copy me"), false, true);
  click(resultView()->copyButton());
  EXPECT_EQ(pasteboard.string(), QStringLiteral("copy me"));
  EXPECT_TRUE(visible(result.panel()));
  ASSERT_TRUE(waitUntil([&] { return !visible(result.panel()); }));

  result.show(QStringLiteral("first"), false, true);
  click(resultView()->copyButton());
  result.show(QStringLiteral("second"), false, true);
  letFourSecondsPass();
  EXPECT_TRUE(visible(result.panel()));
  // The close button hides at the next turn of the event loop; a showing that comes first wins.
  click(resultView()->closeButton());
  result.show(QStringLiteral("third"), false, true);
  letFourSecondsPass();
  EXPECT_TRUE(visible(result.panel()));
  click(resultView()->closeButton());
  EXPECT_TRUE(waitUntil([&] { return !visible(result.panel()); }));
}

TEST_F(Panels, TheResultsTextsFollowTheInterfaceLanguageExceptTheMarkdownTitle) {
  setLanguage(AppLanguage::en);
  result.show(QStringLiteral("plain"), false, false);
  setLanguage(AppLanguage::ko);
  const AppStrings& korean = currentStrings();
  for (const QString& shown : {korean.overlayResultTitle, korean.btnCopy, korean.btnPin}) {
    EXPECT_TRUE(shownTexts(*result.panel()).contains(shown)) << shown.toStdString();
  }
  click(resultView()->pinButton());
  EXPECT_TRUE(shownTexts(*result.panel()).contains(korean.overlayResultPinned));
  result.show(QStringLiteral("# md"), true, false);
  setLanguage(AppLanguage::ru);
  EXPECT_TRUE(shownTexts(*result.panel()).contains(QStringLiteral("◈ 搜索结果")));
}

// A long answer the user has scrolled down in and selected from: a change of
// language, which draws it again, leaves both; showing it again, still on
// screen or after it was closed, starts at the top with nothing selected.
TEST_F(Panels, EveryShowingOfAnAnswerStartsAtTheTopWithNothingSelected) {
  const QString answer = QStringLiteral("# Answer\n\n") + QStringLiteral("a line of the answer\n").repeated(200);
  result.show(answer, true, true);
  QTextEdit* text = resultView()->markdownView()->textView();
  const auto readFurtherDown = [&] {
    text->selectAll();
    text->verticalScrollBar()->setValue(text->verticalScrollBar()->maximum());
    ASSERT_GT(text->verticalScrollBar()->value(), 0);
  };
  const auto atTheTopWithNothingSelected = [&] {
    return text->verticalScrollBar()->value() == 0 && !text->textCursor().hasSelection();
  };
  ASSERT_NO_FATAL_FAILURE(readFurtherDown());
  setLanguage(AppLanguage::ru);
  EXPECT_FALSE(atTheTopWithNothingSelected());

  result.show(answer, true, true);
  EXPECT_TRUE(atTheTopWithNothingSelected()) << "shown again on screen";
  ASSERT_NO_FATAL_FAILURE(readFurtherDown());
  click(resultView()->closeButton());
  ASSERT_TRUE(waitUntil([&] { return !visible(result.panel()); }));
  result.show(answer, true, false);
  EXPECT_TRUE(atTheTopWithNothingSelected()) << "shown again after closing";
}

// One panel, whose close button asks the request flow to cancel by state; the
// level scrolls while recording, the dots turn only on screen.
TEST_F(Panels, TheRecordingIndicatorShowsOnOnePanelWhoseCloseButtonCancelsByStateAndAnimatesOnlyOnScreen) {
  FakeAudioEngines engines;
  AudioRecorder recorder(engines.factory(), [] { return true; });
  RecordingOverlayWindowController controller(recorder);
  controller.hide();  // before any showing
  EXPECT_EQ(controller.panel(), nullptr);
  controller.show();
  OverlayPanel* panel = controller.panel();
  ASSERT_TRUE(visible(panel));
  QSignalSpy duringRecording(&AppEvents::shared(), &AppEvents::overlayDismissedDuringRecording);
  QSignalSpy duringProcessing(&AppEvents::shared(), &AppEvents::overlayDismissedDuringProcessing);
  click(controller.view()->closeButton());  // idle, as during a start
  ASSERT_TRUE(awaitTask(recorder.startRecording()));
  ASSERT_TRUE(engines.latest()->deliver(std::vector<float>(4096 * 2, 1.0f)));  // full scale: level 1
  EXPECT_TRUE(waitUntil([&] { return controller.view()->waveformLevels() == QList<float>(18, 1.0f); }));
  click(controller.view()->closeButton());
  EXPECT_EQ(duringRecording.size(), 2);
  controller.show();
  EXPECT_EQ(controller.panel(), panel);

  // Processing freezes the waveform; the dots go round six steps, and stand still while hidden.
  ASSERT_TRUE(awaitTask(recorder.stopRecording()).has_value());
  click(controller.view()->closeButton());
  EXPECT_EQ(duringProcessing.size(), 1);
  EXPECT_EQ(duringRecording.size(), 2);
  EXPECT_TRUE(panel->isVisible());  // the request flow hides it, not the button
  const QList<float> frozen = controller.view()->waveformLevels();
  controller.view()->sampleLevel();
  EXPECT_EQ(controller.view()->waveformLevels(), frozen);
  controller.hide();
  const int phase = controller.view()->dotPhase();
  letFourSecondsPass();
  EXPECT_EQ(controller.view()->dotPhase(), phase);
  for (int i = 0; i < 6; ++i) controller.view()->advanceDots();
  EXPECT_EQ(controller.view()->dotPhase(), phase);
}

// The window manager learns what a panel is when the panel is mapped: each
// panel is marked before every showing from hidden, never once it is shown.
TEST_F(Panels, EachPanelIsMarkedBeforeEveryShowingWhileItIsStillHidden) {
  FakePanelWindowRole role;
  RecordingOverlayWindowController& recording = RecordingOverlayWindowController::shared();
  const std::vector<std::function<OverlayPanel*()>> showings{
      [&] { return recording.show(), recording.panel(); },
      [&] { return clarify.show(QStringLiteral("which one?")), clarify.panel(); },
      [&] { return tip.present(QStringLiteral("a tip")), tip.panel(); },
      [&] { return result.show(QStringLiteral("an answer"), false, false), result.panel(); }};
  for (size_t i = 0; i < showings.size(); ++i) {
    OverlayPanel* panel = showings[i]();
    showings[i]();  // again while shown: replaced in place
    panel->orderOut();
    showings[i]();
    ASSERT_TRUE(visible(panel));
    EXPECT_EQ(role.count(panel->windowHandle(), false), 2) << "panel " << i;
    EXPECT_EQ(role.count(panel->windowHandle(), true), 0) << "panel " << i;
  }
  recording.hide();
}

TEST_F(Panels, TheLowerLayersReachEveryPanelThroughThePresenter) {
  PanelOverlayPresenter presenter;
  OverlayPresenter::install(&presenter);
  OverlayPresenter& overlays = OverlayPresenter::current();
  overlays.showRecordingOverlay();
  EXPECT_TRUE(visible(RecordingOverlayWindowController::shared().panel()));
  overlays.hideRecordingOverlay();
  EXPECT_FALSE(visible(RecordingOverlayWindowController::shared().panel()));
  overlays.showResult(QStringLiteral("# answer"), true, false);
  EXPECT_TRUE(visible(result.panel()) && model.isMarkdown());
  overlays.showClarify(QStringLiteral("which one?"));
  EXPECT_EQ(clarifyView()->question(), QStringLiteral("which one?"));
  // A tip, from any thread, comes on the main thread at the next turn of the event loop.
  std::thread([&] { overlays.showTip(QStringLiteral("no credits")); }).join();
  EXPECT_FALSE(visible(tip.panel()));
  ASSERT_TRUE(waitUntil([&] { return visible(tip.panel()) && tipView()->message() == QStringLiteral("no credits"); }));
  EXPECT_EQ(tipView()->thread(), QThread::currentThread());
  OverlayPresenter::install(nullptr);
}

}  // namespace
