#include "core/clock.h"
#include "localization/appstrings.h"
#include "localization/applanguage.h"
#include "overlays/overlayclosebutton.h"
#include "overlays/overlaypanel.h"
#include "overlays/tipoverlayview.h"
#include "overlays/tipoverlaywindowcontroller.h"
#include "theme/fontbook.h"

#include "awaittask.h"

#include <QTest>

#include <thread>

#include <gtest/gtest.h>

namespace {

class TipPanel : public ::testing::Test {
 protected:
  // Four seconds last 200 ms, the fade 17.5 ms.
  void SetUp() override { Clock::setTimeScaleForTesting(0.05); }
  void TearDown() override { Clock::setTimeScaleForTesting(1.0); }

  TipOverlayWindowController& controller = TipOverlayWindowController::shared();
  bool visible() const { return controller.panel() && controller.panel()->isVisible(); }
  TipOverlayView* view() const { return qobject_cast<TipOverlayView*>(controller.panel()->contentView()); }
};

TEST_F(TipPanel, StaysFourSecondsThenFadesOut) {
  controller.present(QStringLiteral("Credits are used up."));
  EXPECT_TRUE(visible());
  EXPECT_EQ(controller.panel()->windowOpacity(), 1.0);
  EXPECT_EQ(controller.panel()->size(), QSize(320, 56));
  ASSERT_TRUE(waitUntil([&] { return controller.isFading(); }));
  ASSERT_TRUE(waitUntil([&] { return !visible(); }));
  EXPECT_LT(controller.panel()->windowOpacity(), 0.1);
}

TEST_F(TipPanel, TheCloseButtonStartsTheFadeAtOnce) {
  controller.present(QStringLiteral("tip"));
  QTest::mouseClick(view()->closeButton(), Qt::LeftButton);
  EXPECT_TRUE(controller.isFading());
  EXPECT_FALSE(controller.isDismissPending());
  EXPECT_TRUE(waitUntil([&] { return !visible(); }));
}

TEST_F(TipPanel, ATipPresentedDuringTheFadeStaysItsOwnFourSeconds) {
  controller.present(QStringLiteral("first"));
  controller.dismiss();
  ASSERT_TRUE(controller.isFading());
  controller.present(QStringLiteral("second"));
  EXPECT_FALSE(controller.isFading());
  EXPECT_EQ(controller.panel()->windowOpacity(), 1.0);
  waitUntil([] { return false; }, std::chrono::milliseconds(60));  // well past the first fade
  EXPECT_TRUE(visible());
  EXPECT_EQ(view()->message(), QStringLiteral("second"));
  EXPECT_TRUE(waitUntil([&] { return !visible(); }));
}

TEST_F(TipPanel, ShowsTwoLinesAtMost) {
  controller.present(QStringLiteral("one two three four five six seven eight nine ten eleven twelve thirteen "
                                    "fourteen fifteen sixteen seventeen eighteen nineteen twenty"));
  const QStringList lines = view()->shownLines();
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[1].endsWith(QChar(0x2026)));
  controller.present(QStringLiteral("short"));
  EXPECT_EQ(view()->shownLines(), QStringList({"short"}));

  // The lost microphone's tip is read whole, in every language.
  for (AppLanguage language : allAppLanguages()) {
    const QString& tip = stringsFor(language).errorMicrophoneLost;
    controller.present(tip);
    const QStringList shown = view()->shownLines();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_FALSE(shown.last().endsWith(QChar(0x2026))) << tip.toStdString() << " | " << shown.join(u'|').toStdString();
  }
}

TEST(TipPanelTexts, AHotkeyHeldElsewhereIsToldWholeInEveryLanguage) {
  for (AppLanguage language : allAppLanguages()) {
    FontBook::shared().setLanguage(rawValue(language));
    const TipOverlayView tip(stringsFor(language).hotkeyHeldElsewhereTip.arg(QStringLiteral("Ctrl+Shift+K, Alt+E")));
    const QStringList lines = tip.shownLines();
    EXPECT_FALSE(lines.join(QString()).contains(QChar(0x2026))) << lines.join(QLatin1Char('|')).toStdString();
  }
}

TEST_F(TipPanel, ShowFromAnyThreadPresentsOnTheMainThreadLater) {
  const auto shown = [&] { return visible() && view()->message() == QStringLiteral("from elsewhere"); };
  std::thread([] { TipOverlayWindowController::show(QStringLiteral("from elsewhere")); }).join();
  EXPECT_FALSE(shown());
  ASSERT_TRUE(waitUntil(shown));
  EXPECT_EQ(view()->thread(), QThread::currentThread());
}

}  // namespace
