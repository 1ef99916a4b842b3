#include "core/appevents.h"
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
#include "pipeline/commandkeys.h"
#include "pipeline/selectionsnapshot.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "platform/x11/x11focusrefusal.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11synthetickeyboard.h"
#include "platform/x11/x11workspacepresence.h"

#include "awaittask.h"
#include "testenvironment.h"
#include "testkeyboard.h"
#include "testwindow.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include <functional>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

QString run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(5000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

bool click(const QPoint& at) {
  return TestKeyboard::run({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}
bool click(const QWidget* widget) { return click(widget->mapToGlobal(widget->rect().center())); }

bool onScreen(QWidget* panel) { return panel && QTest::qWaitForWindowExposed(panel->windowHandle()); }

// The real desktop's window manager; every panel is hidden again afterwards.
class Panels : public ::testing::Test {
 protected:
  void SetUp() override {
    WorkspacePresence::install(&presence_);
    FocusRefusal::install(&refusal_);
  }
  void TearDown() override {
    RecordingOverlayWindowController::shared().hide();
    ClarifyOverlayWindowController::shared().hide();
    ResultOverlayWindowController::shared().hide();
    if (OverlayPanel* tip = TipOverlayWindowController::shared().panel()) tip->orderOut();
    FocusRefusal::install(nullptr);
    WorkspacePresence::install(nullptr);
  }
  X11WorkspacePresence presence_;
  X11FocusRefusal refusal_;
};

TEST_F(Panels, NeverTakeTheFocusFromTheApplicationInFrontNotEvenWhenClicked) {
  REQUIRE_TEST_DESKTOP();
  TestWindow window;
  ASSERT_TRUE(window.start());
  X11FrontApplication front;
  const auto frontPid = [&] {
    const auto app = front.frontmost();
    return app ? qint64(app->pid) : -1;
  };
  RecordingOverlayWindowController::shared().show();
  ClarifyOverlayWindowController::shared().show(QStringLiteral("Which of the two files do you mean?"));
  TipOverlayWindowController::shared().present(QStringLiteral("Credits are used up for this month."));
  ResultOverlayWindowController::shared().show(QStringLiteral("# Answer\n\none two three four five six"), true, true);
  OverlayPanel* result = ResultOverlayWindowController::shared().panel();
  const QList<OverlayPanel*> panels{RecordingOverlayWindowController::shared().panel(),
                                    ClarifyOverlayWindowController::shared().panel(),
                                    TipOverlayWindowController::shared().panel(), result};
  for (OverlayPanel* panel : panels) {
    ASSERT_TRUE(onScreen(panel));
    // Told to the window manager too: no input hint, no offer to take the focus.
    const QString id = QString::number(panel->winId());
    EXPECT_THAT(run("xprop", {"-id", id, "WM_HINTS"}).toStdString(),
                testing::HasSubstr("accepts input or input focus: False"));
    EXPECT_THAT(run("xprop", {"-id", id, "WM_PROTOCOLS"}).toStdString(), testing::Not(testing::HasSubstr("WM_TAKE_FOCUS")));
  }

  // The user clicks the indicator's and the tip's body, the result's pin, and
  // drags across its text to select a word.
  QTextBrowser* answer = result->findChild<QTextBrowser*>();
  ASSERT_NE(answer, nullptr);
  QTextCursor word(answer->document());
  word.setPosition(answer->document()->find(QStringLiteral("two")).selectionStart());
  const QPoint text = answer->viewport()->mapToGlobal(answer->cursorRect(word).center());
  const auto body = [](QWidget* panel, int left) { return panel->geometry().center() - QPoint(left, 0); };
  const std::vector<std::function<bool()>> clicks{
      [&] { return click(body(panels[0], 100)); },
      [&] { return click(body(panels[2], 60)); },
      [&] { return click(result->findChild<ResultOverlayView*>()->pinButton()); },
      [&] {
        return TestKeyboard::run({"mousemove", QString::number(text.x() + 1), QString::number(text.y()), "mousedown",
                                  "1", "mousemove_relative", "--", "20", "0", "sleep", "0.1", "mousemove_relative",
                                  "--", "20", "0", "mouseup", "1"});
      }};
  for (size_t i = 0; i < clicks.size(); ++i) {
    ASSERT_TRUE(clicks[i]());
    ASSERT_TRUE(window.command(QStringLiteral("state")));  // the click has reached the desktop
    for (OverlayPanel* panel : panels) EXPECT_FALSE(panel->isActiveWindow()) << "click " << i;
    EXPECT_EQ(QGuiApplication::focusWindow(), nullptr);
    EXPECT_EQ(frontPid(), window.processId()) << "click " << i;
  }
  EXPECT_TRUE(waitUntil([] { return !ResultOverlayWindowController::shared().viewModel().pinned(); }));
  EXPECT_TRUE(waitUntil([&] { return answer->textCursor().hasSelection(); }));
  EXPECT_FALSE(window.lines().contains(QStringLiteral("focus out")));

  // A dictation's answer, pasted into the application in front, lands there.
  X11Pasteboard pasteboard;
  X11SyntheticKeyboard keyboard;
  FrontApplication::install(&front);
  Pasteboard::install(&pasteboard);
  SyntheticKeyboard::install(&keyboard);
  const auto uninstall = qScopeGuard([] {
    SyntheticKeyboard::install(nullptr);
    Pasteboard::install(nullptr);
    FrontApplication::install(nullptr);
  });
  pasteboard.setString(QStringLiteral("dictated"));
  EXPECT_TRUE(postCommandV(qint32(frontPid())));
  EXPECT_TRUE(window.waitForLine(QStringLiteral("text dictated")));
}

TEST_F(Panels, TheRecordingIndicatorsCloseButtonWorksWithoutTakingTheFocus) {
  REQUIRE_TEST_DESKTOP();
  TestWindow window;
  ASSERT_TRUE(window.start());
  RecordingOverlayWindowController::shared().show();
  ASSERT_TRUE(onScreen(RecordingOverlayWindowController::shared().panel()));
  QSignalSpy dismissed(&AppEvents::shared(), &AppEvents::overlayDismissedDuringRecording);
  ASSERT_TRUE(click(RecordingOverlayWindowController::shared().view()->closeButton()));
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
  RecordingOverlayWindowController::shared().show();
  ASSERT_TRUE(onScreen(RecordingOverlayWindowController::shared().panel()));
  ASSERT_TRUE(click(RecordingOverlayWindowController::shared().panel()));
  RecordingOverlayWindowController::shared().hide();
  TipOverlayWindowController::shared().present(QStringLiteral("tip"));
  ASSERT_TRUE(onScreen(TipOverlayWindowController::shared().panel()));
  ASSERT_TRUE(click(TipOverlayWindowController::shared().panel()->findChild<TipOverlayView*>()->closeButton()));
  ResultOverlayWindowController::shared().show(QStringLiteral("an answer"), false, false);
  OverlayPanel* result = ResultOverlayWindowController::shared().panel();
  ASSERT_TRUE(onScreen(result));
  QWidget* close = result->findChild<ResultOverlayView*>()->closeButton();
  ASSERT_TRUE(click(close));
  ASSERT_TRUE(waitUntil([&] { return !result->isVisible(); }));
  ASSERT_TRUE(waitUntil([] { return SelectionSnapshot::captureSystemWide().has_value(); }));

  // Our own announcement of a focus, even one that comes after the user's
  // field got the focus back, is never taken for the user's.
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
  TipOverlayWindowController& tip = TipOverlayWindowController::shared();
  tip.present(QStringLiteral("tip"));
  ASSERT_TRUE(onScreen(tip.panel()));
  // Window managers forget the marks of hidden windows.
  tip.panel()->orderOut();
  tip.present(QStringLiteral("tip again"));
  ASSERT_TRUE(onScreen(tip.panel()));
  const QString id = QString::number(tip.panel()->winId());
  EXPECT_TRUE(waitUntil([&] { return run("xprop", {"-id", id, "_NET_WM_DESKTOP"}).contains("4294967295"); }));
  ASSERT_TRUE(TestKeyboard::run({"set_desktop", "1"}));
  EXPECT_TRUE(waitUntil([&] { return run("xwininfo", {"-id", id}).contains("IsViewable"); }));
  TestKeyboard::run({"set_desktop", "0"});
}

TEST_F(Panels, ClicksOnTheClarifyCardReachTheWindowUnderneath) {
  REQUIRE_TEST_DESKTOP();
  TestWindow window;
  ASSERT_TRUE(window.start());
  ASSERT_TRUE(window.command(QStringLiteral("text hello world")));
  ASSERT_TRUE(TestKeyboard::run({"mousemove", "640", "300"}));
  ClarifyOverlayWindowController::shared().show(QStringLiteral("Which file?"));
  const QRect card = ClarifyOverlayWindowController::shared().panel()->geometry();

  // The test window's field (centred in it) under the middle of the card.
  QString id;
  ASSERT_TRUE(waitUntil([&] { return !(id = run("xdotool", {"search", "--name", "Veltrine test window"}).trimmed()).isEmpty(); }));
  const QPoint target(card.center().x() - 40, card.top() + 30 - 60);
  ASSERT_TRUE(TestKeyboard::run({"windowsize", id, "300", "120", "windowmove", id, QString::number(target.x()),
                                 QString::number(target.y())}));
  const auto number = [&](const QString& geometry, const char* label) {
    const auto match = QRegularExpression(QString::fromLatin1(label) + ":\\s+(-?\\d+)").match(geometry);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
  };
  QString geometry;
  ASSERT_TRUE(waitUntil([&] {
    geometry = run("xwininfo", {"-id", id});
    return number(geometry, "Absolute upper-left X") >= target.x() && number(geometry, "Height") == 120;
  }));
  const QPoint at(number(geometry, "Absolute upper-left X") + 40,
                  number(geometry, "Absolute upper-left Y") + number(geometry, "Height") / 2);
  ASSERT_TRUE(card.contains(at)) << "the field is not under the card";

  ClarifyOverlayWindowController::shared().show(QStringLiteral("Which file?"));  // in front again
  ASSERT_TRUE(onScreen(ClarifyOverlayWindowController::shared().panel()));
  ASSERT_TRUE(click(at));
  // The click moved the field's cursor from the end of the text into it.
  EXPECT_TRUE(waitUntil([&] {
    window.clearLines();
    return window.command(QStringLiteral("state")) && !window.lines().contains(QStringLiteral("selection 11 11"));
  }));
}

TEST_F(Panels, TheResultPanelMovesWhenDraggedByItsBackground) {
  REQUIRE_TEST_DESKTOP();
  ASSERT_TRUE(TestKeyboard::run({"mousemove", "640", "300"}));
  ResultOverlayWindowController::shared().show(QStringLiteral("drag me"), false, true);
  OverlayPanel* panel = ResultOverlayWindowController::shared().panel();
  ASSERT_TRUE(onScreen(panel));
  const QRect before = panel->geometry();
  const QPoint grab(before.center().x(), before.bottom() - 12);  // the footer's free middle
  ASSERT_TRUE(TestKeyboard::run({"mousemove", QString::number(grab.x()), QString::number(grab.y()), "mousedown", "1",
                                 "sleep", "0.1", "mousemove_relative", "--", "-20", "-30", "sleep", "0.1",
                                 "mousemove_relative", "--", "-100", "-150", "sleep", "0.1", "mouseup", "1"}));
  EXPECT_TRUE(waitUntil([&] { return panel->geometry().y() < before.y() - 100; }));
}

}  // namespace
