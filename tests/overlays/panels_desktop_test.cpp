#include "core/appevents.h"
#include "overlays/clarifyoverlaywindowcontroller.h"
#include "overlays/chipbutton.h"
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
#include <QTextBrowser>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

QString run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(5000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

// Lets the window manager and the test window see what happened.
void settle(int ms = 300) { waitUntil([] { return false; }, std::chrono::milliseconds(ms)); }

class Panels : public ::testing::Test {
 protected:
  void SetUp() override {
    WorkspacePresence::install(&presence_);
    FocusRefusal::install(&refusal_);
  }
  void TearDown() override {
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
  settle();

  OverlayPanel* result = ResultOverlayWindowController::shared().panel();
  const QList<OverlayPanel*> panels{RecordingOverlayWindowController::shared().panel(),
                                    ClarifyOverlayWindowController::shared().panel(),
                                    TipOverlayWindowController::shared().panel(), result};
  for (OverlayPanel* panel : panels) {
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    // Told to the window manager too: no input hint, no offer to take the focus.
    const QString id = QString::number(panel->winId());
    EXPECT_THAT(run(QStringLiteral("xprop"), {"-id", id, "WM_HINTS"}).toStdString(),
                testing::HasSubstr("accepts input or input focus: False"));
    EXPECT_THAT(run(QStringLiteral("xprop"), {"-id", id, "WM_PROTOCOLS"}).toStdString(),
                testing::Not(testing::HasSubstr("WM_TAKE_FOCUS")));
  }

  // The user clicks each of them: on the indicator's and the tip's body, on
  // the result panel's pin, and drags across its text to select a word.
  QTextBrowser* answer = result->findChild<QTextBrowser*>();
  ASSERT_NE(answer, nullptr);
  const QWidget* pin = result->findChild<ResultOverlayView*>()->pinButton();
  const QPoint pinCentre = pin->mapToGlobal(pin->rect().center());
  QTextCursor word(answer->document());
  word.setPosition(answer->document()->find(QStringLiteral("two")).selectionStart());
  const QPoint text = answer->viewport()->mapToGlobal(answer->cursorRect(word).center());
  const QList<QStringList> clicks{
      {"mousemove", QString::number(panels[0]->geometry().center().x() - 100),
       QString::number(panels[0]->geometry().center().y()), "click", "1"},
      {"mousemove", QString::number(panels[2]->geometry().center().x() - 60),
       QString::number(panels[2]->geometry().center().y()), "click", "1"},
      {"mousemove", QString::number(pinCentre.x()), QString::number(pinCentre.y()), "click", "1"},
      {"mousemove", QString::number(text.x() + 1), QString::number(text.y()), "mousedown", "1",
       "mousemove_relative", "--", "20", "0", "sleep", "0.1", "mousemove_relative", "--", "20", "0", "mouseup",
       "1"}};
  for (const QStringList& click : clicks) {
    ASSERT_TRUE(TestKeyboard::run(click));
    settle(150);
    for (OverlayPanel* panel : panels) EXPECT_FALSE(panel->isActiveWindow()) << click.join(u' ').toStdString();
    EXPECT_EQ(QGuiApplication::focusWindow(), nullptr);
    EXPECT_EQ(frontPid(), window.processId()) << click.join(u' ').toStdString();
  }
  // Every click did what it is for.
  EXPECT_FALSE(ResultOverlayWindowController::shared().viewModel().pinned());
  EXPECT_TRUE(answer->textCursor().hasSelection());
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
  const auto click = [](const QWidget* widget) {
    const QPoint centre = widget->mapToGlobal(widget->rect().center());
    return TestKeyboard::run({"mousemove", QString::number(centre.x()), QString::number(centre.y()), "click", "1"});
  };
  RecordingOverlayWindowController::shared().show();
  settle(150);
  ASSERT_TRUE(click(RecordingOverlayWindowController::shared().panel()));
  RecordingOverlayWindowController::shared().hide();
  TipOverlayWindowController::shared().present(QStringLiteral("tip"));
  settle(150);
  ASSERT_TRUE(click(TipOverlayWindowController::shared().panel()->findChild<TipOverlayView*>()->closeButton()));
  ResultOverlayWindowController::shared().show(QStringLiteral("an answer"), false, false);
  settle(150);
  OverlayPanel* result = ResultOverlayWindowController::shared().panel();
  QWidget* close = result->findChild<ResultOverlayView*>()->closeButton();
  ASSERT_TRUE(click(close));
  ASSERT_TRUE(waitUntil([&] { return !result->isVisible(); }));
  ASSERT_TRUE(waitUntil([] { return SelectionSnapshot::captureSystemWide().has_value(); }));

  // Our own announcement of a focus, even one that comes after the user's
  // field got the focus back (a panel's window manager and our event loop are
  // not in step), is never taken for the user's.
  QAccessibleEvent late(close, QAccessible::Focus);
  QAccessible::updateAccessibility(&late);
  settle();
  const auto snapshot = SelectionSnapshot::captureSystemWide();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->text, QStringLiteral("brave"));
}

TEST_F(Panels, StayOnEveryWorkspace) {
  REQUIRE_TEST_DESKTOP();
  ASSERT_TRUE(TestKeyboard::run({"set_num_desktops", "2"}));
  TipOverlayWindowController::shared().present(QStringLiteral("tip"));
  settle();
  // Hidden and shown again: window managers forget the marks of hidden windows.
  TipOverlayWindowController::shared().panel()->orderOut();
  settle();
  TipOverlayWindowController::shared().present(QStringLiteral("tip again"));
  settle();
  const QString id = QString::number(TipOverlayWindowController::shared().panel()->winId());
  EXPECT_TRUE(run(QStringLiteral("xprop"), {"-id", id, "_NET_WM_DESKTOP"}).contains(QStringLiteral("4294967295")));

  ASSERT_TRUE(TestKeyboard::run({"set_desktop", "1"}));
  settle();
  EXPECT_TRUE(run(QStringLiteral("xwininfo"), {"-id", id}).contains(QStringLiteral("IsViewable")));
  TestKeyboard::run({"set_desktop", "0"});
}

TEST_F(Panels, ClicksOnTheClarifyCardReachTheWindowUnderneath) {
  REQUIRE_TEST_DESKTOP();
  ResultOverlayWindowController::shared().hide();  // out of the way, when an earlier test left it
  TestWindow window;
  ASSERT_TRUE(window.start());
  ASSERT_TRUE(window.command(QStringLiteral("text hello world")));
  ASSERT_TRUE(TestKeyboard::run({"mousemove", "640", "300"}));
  ClarifyOverlayWindowController::shared().show(QStringLiteral("Which file?"));
  const QRect card = ClarifyOverlayWindowController::shared().panel()->geometry();

  // Put the test window's field (centred in it) under the middle of the card.
  const QString id = run(QStringLiteral("xdotool"), {"search", "--name", "Veltrine test window"}).trimmed();
  ASSERT_FALSE(id.isEmpty());
  const QPoint target(card.center().x(), card.top() + 30);
  ASSERT_TRUE(TestKeyboard::run({"windowsize", id, "300", "120", "windowmove", id, QString::number(target.x() - 40),
                                 QString::number(target.y() - 60)}));
  settle();
  const QString geometry = run(QStringLiteral("xwininfo"), {"-id", id});
  const auto number = [&](const char* label) {
    const QRegularExpressionMatch match =
        QRegularExpression(QString::fromLatin1(label) + QStringLiteral(":\\s+(-?\\d+)")).match(geometry);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
  };
  const QPoint click(number("Absolute upper-left X") + 40,
                     number("Absolute upper-left Y") + number("Height") / 2);
  ASSERT_TRUE(card.contains(click)) << "the field is not under the card";

  ClarifyOverlayWindowController::shared().show(QStringLiteral("Which file?"));  // in front again
  settle();
  ASSERT_TRUE(ClarifyOverlayWindowController::shared().panel()->isVisible());
  ASSERT_TRUE(TestKeyboard::run({"mousemove", QString::number(click.x()), QString::number(click.y()), "click", "1"}));
  settle();
  window.clearLines();
  ASSERT_TRUE(window.command(QStringLiteral("state")));
  // The click moved the field's cursor from the end of the text into it.
  EXPECT_FALSE(window.lines().contains(QStringLiteral("selection 11 11"))) << window.lines().join(u'|').toStdString();
}

TEST_F(Panels, TheRecordingIndicatorsCloseButtonWorksWithoutTakingTheFocus) {
  REQUIRE_TEST_DESKTOP();
  TestWindow window;
  ASSERT_TRUE(window.start());
  RecordingOverlayWindowController::shared().show();
  settle();
  QSignalSpy dismissed(&AppEvents::shared(), &AppEvents::overlayDismissedDuringRecording);
  QWidget* close = RecordingOverlayWindowController::shared().view()->closeButton();
  const QPoint centre = close->mapToGlobal(close->rect().center());
  ASSERT_TRUE(TestKeyboard::run({"mousemove", QString::number(centre.x()), QString::number(centre.y()), "click", "1"}));
  EXPECT_TRUE(waitUntil([&] { return dismissed.size() == 1; }));
  settle();
  EXPECT_FALSE(window.lines().contains(QStringLiteral("focus out")));
  ASSERT_TRUE(TestKeyboard::run({"type", "still here"}));
  EXPECT_TRUE(window.waitForLine(QStringLiteral("text still here")));
}

TEST_F(Panels, TheResultPanelMovesWhenDraggedByItsBackground) {
  REQUIRE_TEST_DESKTOP();
  ASSERT_TRUE(TestKeyboard::run({"mousemove", "640", "300"}));
  ResultOverlayWindowController::shared().show(QStringLiteral("drag me"), false, true);
  settle();
  OverlayPanel* panel = ResultOverlayWindowController::shared().panel();
  const QRect before = panel->geometry();
  // The footer's free middle is background.
  const QPoint grab(before.center().x(), before.bottom() - 12);
  ASSERT_TRUE(TestKeyboard::run({"mousemove", QString::number(grab.x()), QString::number(grab.y()), "mousedown", "1",
                                 "sleep", "0.1", "mousemove_relative", "--", "-20", "-30", "sleep", "0.1",
                                 "mousemove_relative", "--", "-100", "-150", "sleep", "0.1", "mouseup", "1"}));
  EXPECT_TRUE(waitUntil([&] { return panel->geometry().topLeft() != before.topLeft(); }));
  EXPECT_LT(panel->geometry().y(), before.y() - 100);
}

}  // namespace
