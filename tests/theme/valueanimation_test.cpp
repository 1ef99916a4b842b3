#include "theme/crossfade.h"
#include "theme/easedvalue.h"
#include "awaittask.h"
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>

namespace {
using namespace std::chrono_literals;

// Easing runs only where it can be watched: on a widget that is shown.
struct Shown : ::testing::Test {
  Shown() { widget.resize(200, 100), widget.show(); }
  QWidget widget;
};

TEST_F(Shown, NumbersAndColoursEaseThroughTheValuesBetweenAndLandOnTheirTarget) {
  struct Case {
    QVariant from, to;
    std::function<qreal(const QVariant&)> part;  // 0 at `from`, 1 at `to`
  } const cases[] = {{0.0, 10.0, [](const QVariant& v) { return v.toReal() / 10; }},
                     {QColor(Qt::black), QColor(Qt::white), [](const QVariant& v) { return v.value<QColor>().redF(); }}};
  for (const Case& c : cases) {
    EasedValue value(c.from, 300, QEasingCurve::InOutQuad, &widget);
    value.setTarget(c.to);
    EXPECT_TRUE(waitUntil([&] { return c.part(value.value()) > 0 && c.part(value.value()) < 1; }, 1s));
    ASSERT_TRUE(waitUntil([&] { return !value.isRunning(); }, 2s));
    EXPECT_EQ(value.value(), c.to);
  }
}

TEST_F(Shown, ANewTargetMidWayStartsFromTheValueDrawnThen) {
  EasedValue value(0.0, 400, QEasingCurve::Linear, &widget);
  value.setTarget(100.0);
  ASSERT_TRUE(waitUntil([&] { return value.value().toReal() > 20; }, 2s));
  qreal last = value.value().toReal();
  value.setTarget(0.0);
  EXPECT_DOUBLE_EQ(value.value().toReal(), last);
  bool onlyDown = true;
  ASSERT_TRUE(waitUntil([&] {
    onlyDown = onlyDown && value.value().toReal() <= last;
    last = value.value().toReal();
    return !value.isRunning();
  }, 2s));
  EXPECT_TRUE(onlyDown);
  EXPECT_EQ(value.value().toReal(), 0.0);
}

TEST(CrossFadeOver, AViewShowsItsOldLookOverTheNewTakesClicksAndGoes) {
  QPushButton view;
  view.resize(200, 100), view.show();
  const auto fill = [&](const char* colour) { view.setStyleSheet(QStringLiteral("background: ") + colour); };
  fill("red");
  const auto pixel = [&] { return view.grab().toImage().pixelColor(5, 50); };
  const QColor red = pixel();
  ASSERT_TRUE(CrossFade::start(&view, 300, QEasingCurve::InOutQuad));
  const CrossFade* fade = CrossFade::start(&view, 300, QEasingCurve::InOutQuad);  // a change mid-way
  EXPECT_EQ(view.findChildren<CrossFade*>().size(), 1);
  EXPECT_EQ(fade ? fade->geometry() : QRect(), view.rect());
  fill("blue");
  EXPECT_EQ(pixel(), red);
  QSignalSpy clicks(&view, &QPushButton::clicked);
  QTest::mouseClick(&view, Qt::LeftButton);
  EXPECT_EQ(clicks.size(), 1);
  ASSERT_TRUE(waitUntil([&] { return !CrossFade::running(&view); }, 2s));
  EXPECT_NE(pixel(), red);
}

}  // namespace
