#include "core/appevents.h"
#include "core/clock.h"
#include "overlays/chipbutton.h"
#include "overlays/clarifyoverlaywindowcontroller.h"
#include "overlays/overlayclosebutton.h"
#include "overlays/overlaypanel.h"
#include "overlays/recordingoverlayview.h"
#include "overlays/recordingoverlaywindowcontroller.h"
#include "overlays/resultoverlayview.h"
#include "overlays/resultoverlaywindowcontroller.h"
#include "overlays/tipoverlayview.h"
#include "overlays/tipoverlaywindowcontroller.h"
#include "pipeline/selectionsnapshot.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "platform/x11/x11compositorpresence.h"
#include "platform/x11/x11focusrefusal.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11workspacepresence.h"

#include "awaittask.h"
#include "testcompositor.h"
#include "testenvironment.h"
#include "testkeyboard.h"
#include "testwindow.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include <algorithm>
#include <functional>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

QString run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  return process.waitForFinished(5000) ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

bool click(const QPoint& at) {
  return TestKeyboard::run({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}
bool click(const QWidget* widget) { return click(widget->mapToGlobal(widget->rect().center())); }
// A press, two moves (the first past the drag threshold) and a release.
bool drag(const QPoint& from, const QPoint& by) {
  const auto n = [](int v) { return QString::number(v); };
  return TestKeyboard::run({"mousemove", n(from.x()), n(from.y()), "mousedown", "1", "sleep", "0.1",
                            "mousemove_relative", "--", n(by.x() / 2), n(by.y() / 2), "sleep", "0.1",
                            "mousemove_relative", "--", n(by.x() - by.x() / 2), n(by.y() - by.y() / 2), "sleep", "0.1",
                            "mouseup", "1"});
}

bool onScreen(QWidget* panel) { return panel && QTest::qWaitForWindowExposed(panel->windowHandle()); }

// The real desktop's window manager; every panel is hidden again afterwards.
class Panels : public ::testing::Test {
 protected:
  void SetUp() override {
    WorkspacePresence::install(&presence_);
    FocusRefusal::install(&refusal_);
  }
  void TearDown() override {
    recording.hide();
    clarify.hide();
    result.hide();
    if (tip.panel()) tip.panel()->orderOut();
    FocusRefusal::install(nullptr);
    WorkspacePresence::install(nullptr);
  }
  X11WorkspacePresence presence_;
  X11FocusRefusal refusal_;
  RecordingOverlayWindowController& recording = RecordingOverlayWindowController::shared();
  ClarifyOverlayWindowController& clarify = ClarifyOverlayWindowController::shared();
  TipOverlayWindowController& tip = TipOverlayWindowController::shared();
  ResultOverlayWindowController& result = ResultOverlayWindowController::shared();
};

TEST_F(Panels, NeverTakeTheFocusFromTheApplicationInFrontNotEvenWhenClicked) {
  REQUIRE_TEST_DESKTOP();
  TestWindow window;
  ASSERT_TRUE(window.start());
  X11FrontApplication front;
  recording.show();
  QSignalSpy dismissed(&AppEvents::shared(), &AppEvents::overlayDismissedDuringRecording);
  ASSERT_TRUE(onScreen(recording.panel()) && click(recording.view()->closeButton()));
  clarify.show(QStringLiteral("Which of the two files do you mean?"));
  tip.present(QStringLiteral("Credits are used up for this month."));
  result.show(QStringLiteral("# Answer\n\none two three four five six"), true, true);
  const QList<OverlayPanel*> panels{recording.panel(), clarify.panel(), tip.panel(), result.panel()};
  for (OverlayPanel* panel : panels) {
    ASSERT_TRUE(onScreen(panel));
    // Told to the window manager too: no input hint, no offer to take the focus.
    const QString id = QString::number(panel->winId());
    EXPECT_THAT(run("xprop", {"-id", id, "WM_HINTS"}).toStdString(),
                testing::HasSubstr("accepts input or input focus: False"));
    EXPECT_THAT(run("xprop", {"-id", id, "WM_PROTOCOLS"}).toStdString(), testing::Not(testing::HasSubstr("WM_TAKE_FOCUS")));
  }

  // The user clicks the indicator's and the tip's body, the result's pin, drags
  // across its text to select a word, and drags the panel by its background.
  QTextBrowser* answer = result.panel()->findChild<QTextBrowser*>();
  ASSERT_NE(answer, nullptr);
  QTextCursor word(answer->document());
  word.setPosition(answer->document()->find(QStringLiteral("two")).selectionStart());
  const QPoint text = answer->viewport()->mapToGlobal(answer->cursorRect(word).center()) + QPoint(1, 0);
  const QRect before = result.panel()->geometry();
  const auto body = [](QWidget* panel, int left) { return panel->geometry().center() - QPoint(left, 0); };
  const std::vector<std::function<bool()>> clicks{
      [&] { return click(body(panels[0], 100)); }, [&] { return click(body(panels[2], 60)); },
      [&] { return click(result.panel()->findChild<ResultOverlayView*>()->pinButton()); },
      [&] { return drag(text, QPoint(40, 0)); },
      [&] { return drag(QPoint(before.center().x(), before.bottom() - 12), QPoint(-100, -100)); }};  // by the footer
  for (size_t i = 0; i < clicks.size(); ++i) {
    ASSERT_TRUE(clicks[i]());
    ASSERT_TRUE(window.command(QStringLiteral("state")));  // the click has reached the desktop
    for (OverlayPanel* panel : panels) EXPECT_FALSE(panel->isActiveWindow()) << "click " << i;
    EXPECT_EQ(QGuiApplication::focusWindow(), nullptr);
    const auto app = front.frontmost();
    EXPECT_EQ(app ? qint64(app->pid) : -1, window.processId()) << "click " << i;
  }
  EXPECT_TRUE(waitUntil([&] { return !result.viewModel().pinned(); }));
  EXPECT_TRUE(waitUntil([&] { return answer->textCursor().hasSelection(); }));
  EXPECT_TRUE(waitUntil([&] { return result.panel()->geometry().y() < before.y() - 60; }));  // dragged
  EXPECT_TRUE(waitUntil([&] { return dismissed.size() == 1; }));
  ASSERT_TRUE(TestKeyboard::run({"type", "still here"}));
  EXPECT_TRUE(window.waitForLine(QStringLiteral("text still here")));
  EXPECT_FALSE(window.lines().contains(QStringLiteral("focus out")));
}

TEST_F(Panels, NeverHideTheUsersFieldFromTheNextRequest) {
  REQUIRE_TEST_DESKTOP();
  X11AccessibilityTrust trust;
  X11FrontApplication front;
  AtspiAccessibility accessibility;
  AccessibilityTrust::install(&trust);
  FrontApplication::install(&front);
  Accessibility::install(&accessibility);
  const auto uninstall = qScopeGuard([] {
    Accessibility::install(nullptr);
    FrontApplication::install(nullptr);
    AccessibilityTrust::install(nullptr);
  });
  accessibility.start();
  TestWindow window;
  ASSERT_TRUE(window.start(TestWindow::Kind::gtkEditor));
  ASSERT_TRUE(window.command(QStringLiteral("text hello brave new world")));
  ASSERT_TRUE(window.command(QStringLiteral("select 6 11")));

  // Each panel shown, clicked and closed, as after a request.
  recording.show();
  ASSERT_TRUE(onScreen(recording.panel()) && click(recording.panel()));
  recording.hide();
  tip.present(QStringLiteral("tip"));
  ASSERT_TRUE(onScreen(tip.panel()) && click(tip.panel()->findChild<TipOverlayView*>()->closeButton()));
  result.show(QStringLiteral("an answer"), false, false);
  QWidget* close = result.panel()->findChild<ResultOverlayView*>()->closeButton();
  ASSERT_TRUE(onScreen(result.panel()) && click(close));
  ASSERT_TRUE(waitUntil([&] { return !result.panel()->isVisible(); }));
  ASSERT_TRUE(waitUntil([&] { return SelectionSnapshot::captureSystemWide().has_value(); }));

  // Our own announcement of a focus, even after the user's field got the focus back, is never taken for the user's.
  QAccessibleEvent late(close, QAccessible::Focus);
  QAccessible::updateAccessibility(&late);
  ASSERT_TRUE(window.command(QStringLiteral("state")));
  const auto snapshot = SelectionSnapshot::captureSystemWide();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->text, QStringLiteral("brave"));
}

TEST_F(Panels, StayOnEveryWorkspaceAlsoWhenShownAgain) {
  REQUIRE_TEST_DESKTOP();
  ASSERT_TRUE(TestKeyboard::run({"set_num_desktops", "2"}));
  tip.present(QStringLiteral("tip"));
  ASSERT_TRUE(onScreen(tip.panel()));
  tip.panel()->orderOut();  // window managers forget the marks of hidden windows
  tip.present(QStringLiteral("tip again"));
  ASSERT_TRUE(onScreen(tip.panel()));
  const QString id = QString::number(tip.panel()->winId());
  EXPECT_TRUE(waitUntil([&] { return run("xprop", {"-id", id, "_NET_WM_DESKTOP"}).contains("4294967295"); }));
  ASSERT_TRUE(TestKeyboard::run({"set_desktop", "1"}));
  EXPECT_TRUE(waitUntil([&] { return run("xwininfo", {"-id", id}).contains("IsViewable"); }));
  TestKeyboard::run({"set_desktop", "0"});
}

// What the screen shows at `at`, as the X server composed it.
QColor screenColourAt(const QPoint& at) {
  return QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage().pixelColor(0, 0);
}

// The real X server without a compositor, its desktop one known colour, as
// long as it lives.
struct PlainColouredDesktop {
  PlainColouredDesktop() {
    CompositorPresence::install(&compositor);
    painted = run("xsetroot", {"-solid", colour.name()}).isEmpty();
  }
  ~PlainColouredDesktop() {
    CompositorPresence::install(nullptr);
    run("xsetroot", {"-def"});
  }
  X11CompositorPresence compositor;
  const QColor colour{0x30, 0x60, 0xa0};
  bool painted = false;
};

// Without a compositor (the test desktop has none), the desktop shows at each
// panel's rounded corners, not black squares; a compositor that starts gets
// plain rectangles to compose, and when it ends the corners are cut again.
TEST_F(Panels, ShowTheDesktopAtTheirRoundedCornersWhileNoCompositorRuns) {
  REQUIRE_TEST_DESKTOP();
  PlainColouredDesktop plain;
  X11CompositorPresence& compositor = plain.compositor;
  const QColor desktop = plain.colour;
  ASSERT_TRUE(plain.painted);
  ASSERT_FALSE(compositor.isCompositing());
  // The panels overlap where they stand: each is looked at alone.
  const std::vector<std::function<OverlayPanel*()>> panels{
      [&] { return recording.show(), recording.panel(); },
      [&] { return clarify.show(QStringLiteral("Which one?")), clarify.panel(); },
      [&] { return tip.present(QStringLiteral("tip")), tip.panel(); },
      [&] { return result.show(QStringLiteral("an answer"), false, false), result.panel(); }};
  const auto cornersShow = [&](bool desktopShows) {
    for (size_t i = 0; i < panels.size(); ++i) {
      OverlayPanel* panel = panels[i]();
      ASSERT_TRUE(onScreen(panel));
      // Once the card is drawn, the corner shows what the window holds there, or the desktop.
      EXPECT_TRUE(waitUntil([&] { return screenColourAt(panel->geometry().center()) != desktop; }));
      const QPoint corner = panel->geometry().topLeft() + QPoint(1, 1);
      EXPECT_TRUE(waitUntil([&] { return (screenColourAt(corner) == desktop) == desktopShows; }))
          << "panel " << i << " shows " << screenColourAt(corner).name().toStdString();
      panel->orderOut();
    }
  };
  cornersShow(true);

  TestCompositor other;
  ASSERT_TRUE(other.start());
  ASSERT_TRUE(waitUntil([&] { return compositor.isCompositing(); }));
  // Nothing composes here, so a plain rectangle's clear corner shows what the window holds there.
  cornersShow(false);
  other.stop();
  ASSERT_TRUE(waitUntil([&] { return !compositor.isCompositing(); }));
  cornersShow(true);
}

// The pixels of `panel`'s area where the screen shows the desktop's colour.
int desktopPixels(const QWidget* panel, const QColor& desktop) {
  const QRect area = panel->geometry();
  const QImage image =
      QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
  int pixels = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) pixels += (image.pixel(x, y) | 0xff000000) == desktop.rgb();
  }
  return pixels;
}

// Without a compositor the tip's opacity does not show: it dissolves into the
// desktop step by step instead, and is gone when its fade ends. A compositor
// starting midway gets the whole window to fade; a tip presented midway is
// whole again.
TEST_F(Panels, TheTipDissolvesIntoTheDesktopWhereNoCompositorFadesIt) {
  REQUIRE_TEST_DESKTOP();
  PlainColouredDesktop plain;
  X11CompositorPresence& compositor = plain.compositor;
  const QColor desktop = plain.colour;
  ASSERT_TRUE(plain.painted);
  const auto restore = qScopeGuard([] { Clock::setTimeScaleForTesting(1.0); });
  ASSERT_FALSE(compositor.isCompositing());
  Clock::setTimeScaleForTesting(20);  // the fade lasts 7 s, each of its steps about 0.4 s
  tip.present(QStringLiteral("tip"));
  ASSERT_TRUE(onScreen(tip.panel()));
  ASSERT_TRUE(waitUntil([&] { return screenColourAt(tip.panel()->geometry().center()) != desktop; }));
  const auto shown = [&] { return desktopPixels(tip.panel(), desktop); };
  const int all = tip.panel()->width() * tip.panel()->height();
  const int corners = shown();
  ASSERT_GT(corners, 0);

  tip.dismiss();
  std::vector<int> steps{corners};
  ASSERT_TRUE(waitUntil([&] {
    if (const int now = shown(); now != steps.back()) steps.push_back(now);
    return steps.back() > all / 4;
  }));
  EXPECT_GE(steps.size(), 4u);  // several steps, each showing more of the desktop
  EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end())) << testing::PrintToString(steps);

  TestCompositor other;
  ASSERT_TRUE(other.start());
  EXPECT_TRUE(waitUntil([&] { return shown() == 0; }));  // nothing composes here: the plain window
  const qreal opacity = tip.panel()->windowOpacity();
  ASSERT_TRUE(waitUntil([&] { return tip.panel()->windowOpacity() < opacity - 0.15; }));
  EXPECT_EQ(shown(), 0);
  other.stop();
  EXPECT_TRUE(waitUntil([&] { return shown() > all / 4; }));
  ASSERT_TRUE(tip.isFading());

  tip.present(QStringLiteral("again"));
  EXPECT_TRUE(waitUntil([&] { return shown() == corners; }));
  Clock::setTimeScaleForTesting(1.0);
  tip.dismiss();
  ASSERT_TRUE(waitUntil([&] { return !tip.panel()->isVisible(); }));
  EXPECT_TRUE(waitUntil([&] { return shown() == all; }));
}

}  // namespace
