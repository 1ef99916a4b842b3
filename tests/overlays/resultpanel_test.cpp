#include "core/clock.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "overlays/chipbutton.h"
#include "overlays/markdownscrollview.h"
#include "overlays/overlayclosebutton.h"
#include "overlays/overlaypanel.h"
#include "overlays/resultoverlayview.h"
#include "overlays/resultoverlaywindowcontroller.h"

#include "awaittask.h"
#include "fakepasteboard.h"
#include "tracelines.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

class ResultPanel : public ::testing::Test {
 protected:
  // One second of the countdown lasts 10 ms.
  void SetUp() override { Clock::setTimeScaleForTesting(0.01); }
  void TearDown() override { Clock::setTimeScaleForTesting(1.0); }

  ResultOverlayWindowController& controller = ResultOverlayWindowController::shared();
  ResultOverlayViewModel& model = controller.viewModel();
  bool visible() const { return controller.panel() && controller.panel()->isVisible(); }
  void clickPin() { QTest::mouseClick(controller.hostingView()->pinButton(), Qt::LeftButton); }
  void clickCopy() { QTest::mouseClick(controller.hostingView()->copyButton(), Qt::LeftButton); }
};

TEST_F(ResultPanel, SizesPlainTextToItsCardAndMarkdownToAFixedPanel) {
  controller.show(QStringLiteral("short"), false, false);
  EXPECT_EQ(controller.panel()->width(), 420);
  const int shortHeight = controller.panel()->height();
  EXPECT_GE(shortHeight, 80);
  EXPECT_LT(shortHeight, 240);

  QStringList sentences;
  for (int i = 0; i < 5; ++i) sentences.append(QStringLiteral("A sentence that wraps across the card."));
  controller.show(sentences.join(u' '), false, false);
  EXPECT_GT(controller.panel()->height(), shortHeight);
  EXPECT_LT(controller.panel()->height(), 240);

  controller.show(QString(4000, u'w').replace(u'w', QStringLiteral("word ")), false, false);
  EXPECT_EQ(controller.panel()->size(), QSize(420, 240));

  controller.show(QStringLiteral("# Title"), true, false);
  EXPECT_EQ(controller.panel()->size(), QSize(680, 600));
  EXPECT_EQ(controller.hostingView()->markdownView()->height(), 510);
  EXPECT_TRUE(controller.hostingView()->markdownView()->isVisible());
}

TEST_F(ResultPanel, CountsDownThirtySecondsAndHidesOnTheTickThatReachesZero) {
  QList<int> seen;
  QObject receiver;
  QObject::connect(&model, &ResultOverlayViewModel::countdownChanged, &receiver,
                   [&] { seen.append(model.countdown()); });
  controller.show(QStringLiteral("answer"), false, false);
  EXPECT_EQ(controller.hostingView()->statusText(), QStringLiteral("30s"));
  ASSERT_TRUE(waitUntil([&] { return !visible(); }, std::chrono::seconds(10)));
  QList<int> expected;
  for (int s = 29; s >= 0; --s) expected.append(s);
  EXPECT_EQ(seen, expected);
  EXPECT_FALSE(controller.isCountingDown());
  EXPECT_EQ(traceLines().last(), QStringLiteral("ResultOverlay hide"));
}

TEST_F(ResultPanel, PinningHoldsTheSecondsAndUnpinningGoesOnFromThere) {
  controller.show(QStringLiteral("answer"), false, false);
  ASSERT_TRUE(waitUntil([&] { return model.countdown() <= 12; }));
  clickPin();
  const int held = model.countdown();
  EXPECT_EQ(controller.hostingView()->statusText(), currentStrings().overlayResultPinned);
  EXPECT_EQ(controller.hostingView()->pinButton()->symbol(), QStringLiteral("pin.fill"));
  waitUntil([] { return false; }, std::chrono::milliseconds(300));  // thirty seconds
  EXPECT_TRUE(visible());
  EXPECT_EQ(model.countdown(), held);

  clickPin();
  EXPECT_EQ(controller.hostingView()->statusText(), QStringLiteral("%1s").arg(held));
  ASSERT_TRUE(waitUntil([&] { return !visible(); }));
}

TEST_F(ResultPanel, ShowingAgainStartsOverWithTheNewPinnedState) {
  controller.show(QStringLiteral("first"), false, false);
  clickPin();
  ASSERT_TRUE(model.pinned());
  controller.show(QStringLiteral("second"), false, false);
  EXPECT_FALSE(model.pinned());
  EXPECT_EQ(model.countdown(), 30);
  EXPECT_FALSE(model.copied());
  controller.show(QStringLiteral("# streamed"), true, true);
  EXPECT_TRUE(model.pinned());
  EXPECT_TRUE(model.isMarkdown());
}

TEST_F(ResultPanel, CopyPutsTheTextOnTheClipboardAndHidesASecondLaterEvenWhenPinned) {
  FakePasteboard pasteboard;
  controller.show(QStringLiteral("copy me"), false, true);
  clickCopy();
  EXPECT_EQ(pasteboard.string(), QStringLiteral("copy me"));
  EXPECT_TRUE(model.copied());
  EXPECT_EQ(controller.hostingView()->copyButton()->symbol(), QStringLiteral("checkmark"));
  EXPECT_EQ(controller.hostingView()->copyButton()->text(), currentStrings().btnCopied);
  EXPECT_EQ(controller.hostingView()->statusText(), currentStrings().overlayResultPinned);
  EXPECT_TRUE(visible());
  ASSERT_TRUE(waitUntil([&] { return !visible(); }));
}

TEST_F(ResultPanel, AHideDueForAnEarlierShowingNeverHidesALaterOne) {
  FakePasteboard pasteboard;
  controller.show(QStringLiteral("first"), false, true);
  clickCopy();
  controller.show(QStringLiteral("second"), false, true);
  waitUntil([] { return false; }, std::chrono::milliseconds(100));  // ten seconds
  EXPECT_TRUE(visible());

  // The close button hides at the next turn of the event loop; a showing
  // that comes first wins.
  QTest::mouseClick(controller.hostingView()->closeButton(), Qt::LeftButton);
  controller.show(QStringLiteral("third"), false, true);
  waitUntil([] { return false; }, std::chrono::milliseconds(50));
  EXPECT_TRUE(visible());
  QTest::mouseClick(controller.hostingView()->closeButton(), Qt::LeftButton);
  EXPECT_TRUE(waitUntil([&] { return !visible(); }));
}

TEST_F(ResultPanel, TextsFollowTheInterfaceLanguageExceptTheMarkdownTitle) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  controller.show(QStringLiteral("plain"), false, false);
  ResultOverlayView* view = controller.hostingView();
  LanguageManager::shared().setCurrent(AppLanguage::ko);
  const AppStrings& korean = currentStrings();
  EXPECT_EQ(view->titleText(), korean.overlayResultTitle);
  EXPECT_EQ(view->copyButton()->text(), korean.btnCopy);
  EXPECT_EQ(view->pinButton()->text(), korean.btnPin);
  clickPin();
  EXPECT_EQ(view->statusText(), korean.overlayResultPinned);

  controller.show(QStringLiteral("# md"), true, false);
  LanguageManager::shared().setCurrent(AppLanguage::ru);
  EXPECT_EQ(view->titleText(), QStringLiteral("◈ 搜索结果"));
}

TEST_F(ResultPanel, TracesEachShowing) {
  controller.show(QStringLiteral("👍🏽 ok"), false, false);
  const QRect frame = controller.panel()->geometry();
  EXPECT_EQ(traceLines().last(),
            QStringLiteral("ResultOverlay _show: textLen=4, isMarkdown=false, panelVisible=true, frame=(%1.0, %2.0, "
                           "420.0, %3.0)")
                .arg(frame.x())
                .arg(frame.y())
                .arg(frame.height()));
}

}  // namespace
