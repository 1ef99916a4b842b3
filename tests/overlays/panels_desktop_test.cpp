#include "overlays/clarifyoverlaywindowcontroller.h"
#include "overlays/overlaypanel.h"
#include "overlays/recordingoverlaywindowcontroller.h"
#include "overlays/resultoverlaywindowcontroller.h"
#include "overlays/tipoverlaywindowcontroller.h"
#include "platform/x11/x11workspacepresence.h"

#include "awaittask.h"
#include "testenvironment.h"
#include "testkeyboard.h"
#include "testwindow.h"

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>

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

// Where screenshots go when a person wants to look at the panels.
void saveScreenshot(OverlayPanel* panel, const QString& name) {
  const QString folder = qEnvironmentVariable("VELTRINE_SCREENSHOTS");
  if (folder.isEmpty() || !panel) return;
  QDir().mkpath(folder);
  panel->grab().save(folder + u'/' + name + QStringLiteral(".png"));
  const QRect frame = panel->geometry().adjusted(-20, -20, 20, 20);
  QGuiApplication::primaryScreen()
      ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
      .save(folder + u'/' + name + QStringLiteral("-screen.png"));
}

class Panels : public ::testing::Test {
 protected:
  void SetUp() override {
    WorkspacePresence::install(&presence_);
  }
  void TearDown() override { WorkspacePresence::install(nullptr); }

  X11WorkspacePresence presence_;
};

TEST_F(Panels, NeverTakeTheFocusFromTheApplicationInFront) {
  REQUIRE_TEST_DESKTOP();
  TestWindow window;
  ASSERT_TRUE(window.start());

  RecordingOverlayWindowController::shared().show();
  ClarifyOverlayWindowController::shared().show(QStringLiteral("Which of the two files do you mean?"));
  TipOverlayWindowController::shared().present(QStringLiteral("Credits are used up for this month."));
  ResultOverlayWindowController::shared().show(QStringLiteral("# Answer\n- one\n- two"), true, true);
  settle();

  for (OverlayPanel* panel :
       {RecordingOverlayWindowController::shared().panel(), ClarifyOverlayWindowController::shared().panel(),
        TipOverlayWindowController::shared().panel(), ResultOverlayWindowController::shared().panel()}) {
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->isActiveWindow());
  }
  EXPECT_EQ(QGuiApplication::focusWindow(), nullptr);
  EXPECT_FALSE(window.lines().contains(QStringLiteral("focus out")));

  // What the user types still reaches the application in front.
  ASSERT_TRUE(TestKeyboard::run({"type", "ok"}));
  EXPECT_TRUE(window.waitForLine(QStringLiteral("text ok")));

  saveScreenshot(RecordingOverlayWindowController::shared().panel(), QStringLiteral("recording"));
  saveScreenshot(ClarifyOverlayWindowController::shared().panel(), QStringLiteral("clarify"));
  saveScreenshot(TipOverlayWindowController::shared().panel(), QStringLiteral("tip"));
  saveScreenshot(ResultOverlayWindowController::shared().panel(), QStringLiteral("result-markdown"));
  ResultOverlayWindowController::shared().show(QStringLiteral("The meeting moved to Thursday at ten."), false, false);
  settle();
  saveScreenshot(ResultOverlayWindowController::shared().panel(), QStringLiteral("result-plain"));
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

}  // namespace
