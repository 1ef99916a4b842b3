// Every floating panel on the test desktop's screen, also run with Qt's scale
// factor at 2 (see CMakeLists.txt), where the 1280 x 800 screen is 640 x 400
// logical pixels: smaller than the answer panel. What the X server holds of
// each panel's window lies inside the part of the screen the desktop leaves
// free, and the answer panel keeps its header and footer in view, its text
// scrolling in what is left.
#include "overlays/chipbutton.h"
#include "overlays/clarifyoverlaywindowcontroller.h"
#include "overlays/overlayclosebutton.h"
#include "overlays/overlaypanel.h"
#include "overlays/recordingoverlaywindowcontroller.h"
#include "overlays/resultoverlayview.h"
#include "overlays/resultoverlaywindowcontroller.h"
#include "overlays/tipoverlaywindowcontroller.h"
#include "platform/x11/x11panelwindowrole.h"

#include "servergeometry.h"
#include "testenvironment.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTransform>

#include <gtest/gtest.h>

namespace {

TEST(ScaledScreen, EveryPanelLiesInsideTheFreeAreaOfTheScreen) {
  REQUIRE_TEST_DESKTOP();
  X11PanelWindowRole role;
  PanelWindowRole::install(&role);
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const qreal ratio = screen->devicePixelRatio();
  const QRect free = QTransform::fromScale(ratio, ratio).mapRect(screen->availableGeometry());

  QString answer = QStringLiteral("# Answer\n\n");
  for (int i = 1; i <= 40; ++i) answer += QStringLiteral("- line %1 of a long answer\n").arg(i);
  RecordingOverlayWindowController::shared().show();
  ClarifyOverlayWindowController::shared().show(QStringLiteral("Which of the two files do you mean?"));
  TipOverlayWindowController::shared().present(QStringLiteral("Credits are used up for this month."));
  ResultOverlayWindowController& result = ResultOverlayWindowController::shared();
  result.show(answer, true, true);
  const QList<OverlayPanel*> panels{RecordingOverlayWindowController::shared().panel(),
                                    ClarifyOverlayWindowController::shared().panel(),
                                    TipOverlayWindowController::shared().panel(), result.panel()};
  for (OverlayPanel* panel : panels) {
    ASSERT_TRUE(panel && QTest::qWaitForWindowExposed(panel->windowHandle()));
    const QRect frame = serverGeometry(panel);
    EXPECT_TRUE(free.contains(frame)) << "a panel at (" << frame.x() << ", " << frame.y() << ") " << frame.width()
                                      << " x " << frame.height() << " at ratio " << ratio;
  }

  // The answer's header (its close button) and footer (its pin) stay within
  // the panel; its text scrolls.
  const auto* view = result.panel()->findChild<ResultOverlayView*>();
  ASSERT_NE(view, nullptr);
  for (const QWidget* part : std::initializer_list<const QWidget*>{view->closeButton(), view->pinButton()}) {
    const QRect shown(part->mapTo(result.panel(), QPoint(0, 0)), part->size());
    EXPECT_TRUE(result.panel()->rect().contains(shown)) << part->metaObject()->className();
  }
  const auto* text = result.panel()->findChild<QTextBrowser*>();
  ASSERT_NE(text, nullptr);
  EXPECT_GT(text->verticalScrollBar()->maximum(), 0);

  RecordingOverlayWindowController::shared().hide();
  ClarifyOverlayWindowController::shared().hide();
  result.hide();
  TipOverlayWindowController::shared().panel()->orderOut();
  PanelWindowRole::install(nullptr);
}

}  // namespace
