#include "theme/cybertextfield.h"
#include "theme/glowlabel.h"
#include "theme/neonbutton.h"
#include "theme/neoncard.h"
#include "theme/palette.h"

#include "awaittask.h"
#include "paintprobe.h"
#include "testenvironment.h"

#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// What the display shows of `window`, once it has been drawn.
QImage onScreen(QWidget& window) {
  window.show();
  EXPECT_TRUE(waitUntil([&] { return window.isVisible() && window.windowHandle()->isExposed(); }));
  QImage shot;
  waitUntil(
      [&] {
        shot = window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_ARGB32);
        return !shot.isNull() && QColor(shot.pixel(150, 100)) != QColor(Qt::black);
      },
      std::chrono::seconds(2));
  return shot;
}

// Widgets that glow through an effect sit inside a glowing card: on a real
// display Qt cannot draw nested widget effects, so the card must glow another way.
TEST(ThemeOnScreen, GlowingWidgetsInsideAGlowingCardAreDrawn) {
  REQUIRE_TEST_DESKTOP();
  QWidget window;
  window.setAutoFillBackground(true);
  QPalette background = window.palette();
  background.setColor(QPalette::Window, Palette::cyberBgDeep);
  window.setPalette(background);
  window.resize(320, 260);
  auto* card = new NeonCard(Palette::neonPurple, 8, &window);
  card->setGeometry(30, 30, 260, 200);
  auto* content = new QVBoxLayout(card);
  content->setContentsMargins(20, 16, 20, 16);
  auto* label = new GlowLabel(QStringLiteral("HEAVY TEXT"), Palette::neonYellow, 20, QFont::ExtraBold);
  auto* button = new NeonButton(QStringLiteral("GO"), Palette::neonRed);
  auto* field = new CyberTextField(Palette::neonGreen);
  field->setText(QStringLiteral("typed"));
  content->addWidget(label);
  content->addWidget(button);
  content->addWidget(field);

  const QImage shot = onScreen(window);
  ASSERT_FALSE(shot.isNull());
  const auto count = [&](const QRect& area, const QColor& color) {
    int matches = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) matches += colourNear(shot.pixel(x, y), color, 40);
    }
    return matches;
  };
  EXPECT_GT(count(label->geometry().translated(card->pos()), Palette::neonYellow), 20);
  EXPECT_GT(count(button->geometry().translated(card->pos()), Palette::neonRed), 20);
  EXPECT_GT(count(field->geometry().translated(card->pos()), Palette::cyberTextPrimary), 10);
  // The card's glow shows on the window just above the card.
  const QColor above = shot.pixel(160, 27);
  EXPECT_NE(above, QColor(shot.pixel(160, 3)));
}

}  // namespace
