#include "core/clock.h"
#include "localization/appstrings.h"
#include "overlays/clarifyoverlayview.h"
#include "overlays/clarifyoverlaywindowcontroller.h"
#include "overlays/overlaypanel.h"

#include "awaittask.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

TEST(ClarifyPanel, GrowsWithTheQuestionBetween90And140) {
  const struct {
    QString question;
    int height;
  } cases[] = {
      {QString(), 90},
      {QString(28, u'a'), 90},
      {QString(29, u'a'), 98},
      {QString(56, u'a'), 98},
      {QString(57, u'a'), 120},
      {QString(84, u'a'), 120},
      {QString(85, u'a'), 140},
      {QString(300, u'a'), 140},
      // Characters as a reader counts them: ten ideographs, ten emoji with skin tones.
      {QString(29, u'字'), 98},
      {QStringLiteral("👍🏽").repeated(29), 98},
      {QStringLiteral("e\u0301").repeated(28), 90},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(clarifyPanelSize(c.question), QSize(360, c.height)) << c.question.toStdString();
  }
}

class ClarifyTimer : public ::testing::Test {
 protected:
  // Five seconds last 250 ms.
  void SetUp() override { Clock::setTimeScaleForTesting(0.05); }
  void TearDown() override { Clock::setTimeScaleForTesting(1.0); }

  ClarifyOverlayWindowController& controller = ClarifyOverlayWindowController::shared();
  bool visible() const { return controller.panel() && controller.panel()->isVisible(); }
  ClarifyOverlayView* view() const { return qobject_cast<ClarifyOverlayView*>(controller.panel()->contentView()); }
};

TEST_F(ClarifyTimer, ASecondQuestionReplacesTheFirstAndGetsItsOwnFiveSeconds) {
  controller.show(QStringLiteral("first?"));
  OverlayPanel* panel = controller.panel();
  waitUntil([] { return false; }, std::chrono::milliseconds(150));
  ASSERT_TRUE(visible());

  QElapsedTimer sinceSecond;
  sinceSecond.start();
  controller.show(QString(60, u'q'));
  EXPECT_EQ(controller.panel(), panel);
  EXPECT_EQ(panel->size(), QSize(360, 120));
  EXPECT_EQ(view()->question(), QString(60, u'q'));
  ASSERT_TRUE(waitUntil([&] { return !visible(); }));
  // Timers may fire a little early, never by as much as the first question's rest.
  EXPECT_GE(sinceSecond.elapsed(), 225);
  EXPECT_FALSE(controller.isDismissPending());
}

TEST_F(ClarifyTimer, AnEmptyQuestionShowsTheStockLineInACardThatHoldsIt) {
  controller.show(QString());
  EXPECT_EQ(view()->shownText(), currentStrings().overlayClarifyFallback);
  EXPECT_EQ(controller.panel()->size(), clarifyPanelSize(currentStrings().overlayClarifyFallback));
  EXPECT_LE(view()->cardHeight(), controller.panel()->height());

  // Four short lines are more than the characters alone would make room for.
  controller.show(QStringLiteral("a\nb\nc\nd"));
  EXPECT_LE(view()->cardHeight(), controller.panel()->height());

  EXPECT_TRUE(controller.panel()->windowFlags().testFlag(Qt::WindowTransparentForInput));
  EXPECT_TRUE(controller.panel()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
}

}  // namespace
