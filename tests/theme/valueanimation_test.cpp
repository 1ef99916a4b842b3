#include "theme/crossfade.h"
#include "theme/easedvalue.h"
#include "theme/rollingtext.h"
#include "awaittask.h"
#include <QFontMetricsF>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <vector>

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

// Each piece a rolling text draws: its text, where, and how visible.
struct Piece {
  QString text;
  QRectF rect;
  qreal opacity;
};

std::vector<Piece> pieces(const RollingText& rolling, const QRectF& line, const QFontMetricsF& metrics) {
  QImage image(10, 10, QImage::Format_ARGB32);
  QPainter painter(&image);
  std::vector<Piece> drawn;
  rolling.paint(painter, line, metrics, [&](QPainter& target, const QRectF& rect, const QString& text) {
    drawn.push_back({text, rect, target.opacity()});
  });
  return drawn;
}

const Piece* find(const std::vector<Piece>& drawn, const QString& text) {
  for (const Piece& piece : drawn) if (piece.text == text) return &piece;
  return nullptr;
}

TEST(RollingText, TheChangedDigitsRollOutUpAndInFromBelowWhileWhatBothShareStaysOrSlides) {
  const QFontMetricsF metrics{QFont()};
  const QRectF line(10, 20, 100, metrics.height());
  const auto advance = [&](const char* text) { return metrics.horizontalAdvance(QString::fromLatin1(text)); };

  // At rest: the whole new text, one piece where the line starts.
  const auto rest = pieces({QStringLiteral("7s"), QStringLiteral("6s"), 1}, line, metrics);
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(rest[0].text, QStringLiteral("6s"));
  EXPECT_EQ(rest[0].rect.topLeft(), line.topLeft());

  // Half-way from 7s to 6s: the 7 on its way up, half gone; the 6 coming up from below; the s in place.
  const auto half = pieces({QStringLiteral("7s"), QStringLiteral("6s"), 0.5}, line, metrics);
  ASSERT_EQ(half.size(), 3u);
  const Piece* seven = find(half, QStringLiteral("7"));
  const Piece* six = find(half, QStringLiteral("6"));
  const Piece* s = find(half, QStringLiteral("s"));
  ASSERT_TRUE(seven && six && s);
  EXPECT_LT(seven->rect.top(), line.top());
  EXPECT_GT(six->rect.top(), line.top());
  EXPECT_DOUBLE_EQ(seven->opacity, 0.5);
  EXPECT_DOUBLE_EQ(six->opacity, 0.5);
  EXPECT_EQ(seven->rect.left(), line.left());
  EXPECT_EQ(s->rect.top(), line.top());
  EXPECT_DOUBLE_EQ(s->opacity, 1);

  // 10s to 9s: both digits go, the 9 comes, and the s slides from behind 10 to behind 9.
  const auto start = pieces({QStringLiteral("10s"), QStringLiteral("9s"), 0}, line, metrics);
  const auto end = pieces({QStringLiteral("10s"), QStringLiteral("9s"), 0.999}, line, metrics);
  ASSERT_TRUE(find(start, QStringLiteral("10")) && find(start, QStringLiteral("s")) && find(end, QStringLiteral("s")));
  EXPECT_DOUBLE_EQ(find(start, QStringLiteral("s"))->rect.left(), line.left() + advance("10"));
  EXPECT_NEAR(find(end, QStringLiteral("s"))->rect.left(), line.left() + advance("9"), 0.1);
  EXPECT_EQ(find(start, QStringLiteral("9")), nullptr);  // not yet to be seen

  // What the two texts share is never counted twice: from 11 to 1 one 1 stays, the other goes.
  const auto shrink = pieces({QStringLiteral("11"), QStringLiteral("1"), 0.5}, line, metrics);
  ASSERT_EQ(shrink.size(), 2u);
  EXPECT_EQ(shrink[0].text + shrink[1].text, QStringLiteral("11"));
}

}  // namespace
