#include "theme/crossfade.h"
#include "theme/easedvalue.h"
#include "theme/rollingtext.h"
#include "awaittask.h"
#include <QFontMetricsF>
#include <QMultiMap>
#include <QPainter>
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

// Each piece a rolling text draws: where, and how visible.
struct Piece {
  QRectF rect;
  qreal opacity = 0;
};

// The pieces drawn of `from` rolling to `to` at `progress`, by their text.
QMultiMap<QString, Piece> pieces(const char* from, const char* to, qreal progress, const QRectF& line) {
  QImage image(10, 10, QImage::Format_ARGB32);
  QPainter painter(&image);
  QMultiMap<QString, Piece> drawn;
  const RollingText rolling{QString::fromLatin1(from), QString::fromLatin1(to), progress};
  rolling.paint(painter, line, QFontMetricsF(QFont()), [&](QPainter& target, const QRectF& rect, const QString& text) {
    drawn.insert(text, {rect, target.opacity()});
  });
  return drawn;
}

TEST(RollingText, TheChangedDigitsRollOutUpAndInFromBelowWhileWhatBothShareStaysOrSlides) {
  const QFontMetricsF metrics{QFont()};
  const QRectF line(10, 20, 100, metrics.height());

  // Half-way from 7s to 6s: the 7 on its way up, half gone; the 6 coming up from below; the s in place.
  const auto half = pieces("7s", "6s", 0.5, line);
  ASSERT_EQ(half.keys(), QStringList({"6", "7", "s"}));
  EXPECT_LT(half.value("7").rect.top(), line.top());
  EXPECT_GT(half.value("6").rect.top(), line.top());
  EXPECT_DOUBLE_EQ(half.value("7").opacity, 0.5);
  EXPECT_DOUBLE_EQ(half.value("6").opacity, 0.5);
  EXPECT_EQ(half.value("s").rect.top(), line.top());
  EXPECT_DOUBLE_EQ(half.value("s").opacity, 1);

  // From 10s to 9s the s slides from behind 10 to behind 9.
  const auto sAt = [&](qreal progress) {
    return pieces("10s", "9s", progress, line).value("s").rect.left() - line.left();
  };
  EXPECT_DOUBLE_EQ(sAt(0), metrics.horizontalAdvance("10"));
  EXPECT_NEAR(sAt(0.999), metrics.horizontalAdvance("9"), 0.1);

  // What both share is never drawn twice: from 11 to 1 one 1 stays, the other goes.
  EXPECT_EQ(pieces("11", "1", 0.5, line).keys(), QStringList({"1", "1"}));
}

}  // namespace
