#include "theme/cornerbrackets.h"
#include "theme/cyberdivider.h"
#include "theme/fonttables.h"
#include "theme/glow.h"
#include "theme/glowtext.h"
#include "theme/neonbuttonstyle.h"
#include "theme/neoncardstyle.h"
#include "theme/neontitle.h"
#include "theme/palette.h"
#include "theme/scanlinetexture.h"

#include "paintprobe.h"

#include <QFontDatabase>
#include <QRawFont>

#include <gtest/gtest.h>

namespace {

TEST(ScanlineTexture, DrawsOneLineEveryThreePixelsThatFit) {
  struct Case {
    int height;
    int lines;
  };
  for (const Case c : {Case{100, 33}, Case{99, 33}, Case{3, 1}, Case{2, 0}, Case{0, 0}}) {
    SCOPED_TRACE(c.height);
    EXPECT_EQ(ScanlineTexture::lineCount(c.height), c.lines);
    const QImage image = paintOffscreen(QSize(20, std::max(c.height, 1)), [&](QPainter& painter) {
      ScanlineTexture{0.5}.paint(painter, QRectF(0, 0, 20, c.height));
    });
    EXPECT_EQ(paintedRows(image), c.lines);
  }
  const QImage image = paintOffscreen(QSize(10, 10), [](QPainter& painter) {
    ScanlineTexture{0.5}.paint(painter, QRectF(0, 0, 10, 10));
  });
  // Lines at 0, 3 and 6, each in neonCyan at the texture's opacity.
  for (int y : {0, 3, 6}) EXPECT_NEAR(alphaAt(image, 5, y), 128, 1) << y;
  for (int y : {1, 2, 4, 9}) EXPECT_EQ(alphaAt(image, 5, y), 0) << y;
  EXPECT_TRUE(colourNear(image.pixel(5, 0), Palette::neonCyan));
}

TEST(CornerBrackets, MarksRunFromArmThroughCornerToArm) {
  const CornerBrackets brackets{Palette::neonCyan, 10};
  const auto marks = brackets.marks(QSizeF(200, 100));
  EXPECT_EQ(marks[0], QPolygonF({{10, 0}, {0, 0}, {0, 10}}));
  EXPECT_EQ(marks[1], QPolygonF({{190, 0}, {200, 0}, {200, 10}}));
  EXPECT_EQ(marks[2], QPolygonF({{10, 100}, {0, 100}, {0, 90}}));
  EXPECT_EQ(marks[3], QPolygonF({{190, 100}, {200, 100}, {200, 90}}));
}

TEST(CornerBrackets, PaintsOnlyTheCornersAtHalfStrength) {
  // Drawn into a frame inset by 2 so the strokes centred on the edges fit.
  const QImage image = paintOffscreen(QSize(204, 104), [](QPainter& painter) {
    CornerBrackets{Palette::neonRed, 10}.paint(painter, QRectF(2, 2, 200, 100));
  });
  EXPECT_GT(alphaAt(image, 7, 2), 60);      // top arm of the top-left mark
  EXPECT_GT(alphaAt(image, 2, 7), 60);      // its vertical arm
  EXPECT_GT(alphaAt(image, 197, 102), 60);  // bottom-right mark
  EXPECT_EQ(alphaAt(image, 102, 2), 0);     // nothing between the marks
  EXPECT_EQ(alphaAt(image, 2, 52), 0);
  EXPECT_EQ(alphaAt(image, 15, 2), 0);      // the arm ends at `size`
  EXPECT_LE(alphaAt(image, 7, 2), 128);     // colour at 0.5
}

TEST(NeonButtonStyle, PressedDimsTheLabelAndDeepensTheFillOnly) {
  const NeonButtonStyle style{Palette::neonRed};
  EXPECT_EQ(style.labelColor(false), Palette::neonRed);
  EXPECT_NEAR(style.labelColor(true).alphaF(), 0.5, 0.001);
  EXPECT_EQ(style.labelColor(true).rgb(), Palette::neonRed.rgb());
  EXPECT_NEAR(style.fillColor(false).alphaF(), 0.1, 0.001);
  EXPECT_NEAR(style.fillColor(true).alphaF(), 0.18, 0.001);
  EXPECT_NEAR(style.borderColor().alphaF(), 0.5, 0.001);
  EXPECT_NEAR(style.glow().color.alphaF(), 0.25, 0.001);
  EXPECT_EQ(style.glow().radius, 4);
  EXPECT_EQ(FontTables::postScriptName(QRawFont::fromFont(NeonButtonStyle::font(), QFontDatabase::Latin)),
            "Rajdhani-SemiBold");
  EXPECT_EQ(NeonButtonStyle::font().pixelSize(), 14);
  EXPECT_EQ(NeonButtonStyle::sizeFor(QSizeF(60, 18)), QSizeF(100, 38));
}

TEST(NeonButtonStyle, PaintedFillFollowsThePressedFlagButNotTheOutline) {
  const NeonButtonStyle style{Palette::neonRed};
  const auto body = [&](bool pressed) {
    return paintOffscreen(QSize(140, 60), [&](QPainter& painter) {
      style.paintBody(painter, QRectF(10, 10, 120, 40), pressed);
    });
  };
  const QImage rest = body(false);
  const QImage pressed = body(true);
  EXPECT_NEAR(alphaAt(rest, 25, 30), qRound(0.1 * 255), 1);
  EXPECT_NEAR(alphaAt(pressed, 25, 30), qRound(0.18 * 255), 1);
  EXPECT_TRUE(colourNear(rest.pixel(25, 30), Palette::neonRed, 6));
  // Along the top edge, past the rounded corner: the outline alone.
  const int outlineRest = alphaAt(rest, 70, 10);
  const int outlinePressed = alphaAt(pressed, 70, 10);
  EXPECT_GT(outlineRest, 60);
  // Only the fill beneath the outline changes with a press.
  EXPECT_LT(std::abs(outlinePressed - outlineRest), alphaAt(pressed, 25, 30) - alphaAt(rest, 25, 30));
}

TEST(NeonButtonStyle, GlowsAroundTheButtonAndDisabledIsDimmer) {
  const NeonButtonStyle style{Palette::neonRed};
  const auto render = [&](bool pressed, bool enabled) {
    return paintOffscreen(QSize(140, 60), [&](QPainter& painter) {
      style.paint(painter, QRectF(10, 10, 120, 40), pressed, enabled, QStringLiteral("GO"));
    });
  };
  const QImage rest = render(false, true);
  const QImage pressed = render(true, true);
  const QImage disabled = render(false, false);
  const QImage disabledPressed = render(true, false);
  // The glow lies outside the shape, in the button's colour.
  EXPECT_GT(alphaAt(rest, 70, 7), 0);
  EXPECT_GT(alphaAt(pressed, 70, 7), 0);
  const QColor glow = rest.pixel(70, 7);
  EXPECT_GT(glow.red(), 3 * glow.green());
  // Disabled: everything fainter, and a press changes nothing.
  EXPECT_LT(totalAlpha(disabled), totalAlpha(rest) / 2);
  EXPECT_EQ(disabled, disabledPressed);
}

TEST(NeonCardStyle, FillsWithCardBackgroundAndGlowsPastTheEdge) {
  const NeonCardStyle card{Palette::neonCyan, 8};
  const QImage image = paintOffscreen(QSize(160, 100), [&](QPainter& painter) {
    card.paint(painter, QRectF(30, 30, 100, 40));
  });
  // The card's fill (with its own glow faintly beneath the translucent fill).
  EXPECT_NEAR(alphaAt(image, 80, 50), Palette::cyberCardBg.alpha(), 8);
  EXPECT_TRUE(colourNear(image.pixel(80, 50), Palette::cyberCardBg, 8));
  EXPECT_GT(alphaAt(image, 80, 24), 0);  // glow above the card
  EXPECT_EQ(alphaAt(image, 80, 2), 0);   // but it fades out
  EXPECT_NEAR(card.glow().color.alphaF(), 0.2, 0.001);
}

TEST(CyberDivider, FadesInAndOutAcrossItsWidth) {
  const QImage image = paintOffscreen(QSize(200, 1), [](QPainter& painter) {
    CyberDivider{Palette::neonCyan}.paintBody(painter, QRectF(0, 0, 200, 1));
  });
  EXPECT_LE(alphaAt(image, 0, 0), 2);
  EXPECT_NEAR(alphaAt(image, 100, 0), qRound(0.35 * 255), 2);
  EXPECT_LE(alphaAt(image, 199, 0), 2);
}

TEST(GlowText, WeightChoosesTheRajdhaniFace) {
  struct Case {
    QFont::Weight weight;
    const char* face;
  };
  for (const Case c : {Case{QFont::ExtraBold, "Rajdhani-Bold"}, Case{QFont::DemiBold, "Rajdhani-SemiBold"},
                       Case{QFont::Medium, "Rajdhani-Medium"}}) {
    const GlowText text{QStringLiteral("Hotwords"), Palette::cyberTextSecondary, 16, c.weight};
    EXPECT_EQ(FontTables::postScriptName(QRawFont::fromFont(text.font(), QFontDatabase::Latin)), c.face);
    EXPECT_EQ(text.font().pixelSize(), 16);
  }
  const Glow glow = GlowText{QStringLiteral("x"), Palette::neonGreen, 12, QFont::Medium}.glow();
  EXPECT_EQ(glow.color.rgb(), Palette::neonGreen.rgb());
  EXPECT_NEAR(glow.color.alphaF(), 0.5, 0.001);
  EXPECT_EQ(glow.radius, 4);
}

TEST(NeonTitle, IsOrbitronBlackFilledLeftToRightAndGlowsInItsFirstColour) {
  const NeonTitle title{QStringLiteral("HISTORY"), {Palette::neonCyan, Palette::neonGreen}, 22};
  EXPECT_EQ(FontTables::postScriptName(QRawFont::fromFont(title.font(), QFontDatabase::Latin)), "Orbitron-Black");
  EXPECT_EQ(title.glow().color.rgb(), Palette::neonCyan.rgb());
  EXPECT_NEAR(title.glow().color.alphaF(), 0.4, 0.001);
  EXPECT_EQ(title.glow().radius, 6);

  const QImage image = paintOffscreen(QSize(260, 40), [&](QPainter& painter) {
    title.paintBody(painter, QRectF(0, 0, 260, 40));
  });
  // The first painted column is cyan, the last green.
  QColor first, last;
  for (int x = 0; x < image.width() && !first.isValid(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (alphaAt(image, x, y) == 255) {
        first = image.pixel(x, y);
        break;
      }
    }
  }
  for (int x = image.width() - 1; x >= 0 && !last.isValid(); --x) {
    for (int y = 0; y < image.height(); ++y) {
      if (alphaAt(image, x, y) == 255) {
        last = image.pixel(x, y);
        break;
      }
    }
  }
  ASSERT_TRUE(first.isValid() && last.isValid());
  EXPECT_LT(first.redF(), 0.05);
  EXPECT_GT(first.blueF(), 0.75);
  EXPECT_GT(last.redF(), 0.15);
  EXPECT_LT(last.blueF(), 0.5);
}

TEST(NeonTitle, OneColourFillsAndGlowsInThatColour) {
  const NeonTitle title{QStringLiteral("TIP"), {Palette::neonYellow}, 18};
  EXPECT_EQ(title.fill(QRectF(0, 0, 50, 20)).color(), Palette::neonYellow);
  EXPECT_EQ(title.fill(QRectF(0, 0, 50, 20)).style(), Qt::SolidPattern);
  EXPECT_EQ(title.glow().color.rgb(), Palette::neonYellow.rgb());
  // No colour at all still shows the text.
  const NeonTitle colourless{QStringLiteral("X"), {}, 18};
  EXPECT_EQ(colourless.fill(QRectF()).color(), Palette::cyberTextPrimary);
}

TEST(Glow, SpreadsEvenlyAroundTheShapeAndFadesWithDistance) {
  const Glow glow{Palette::neonCyan, 6};
  const QImage image = paintOffscreen(QSize(100, 100), [&](QPainter& painter) {
    glow.paint(painter, QRectF(40, 40, 20, 20), [](QPainter& target) {
      target.fillRect(QRectF(40, 40, 20, 20), Qt::black);
    });
  });
  EXPECT_EQ(QColor(image.pixel(50, 50)).rgb(), QColor(Qt::black).rgb());  // the content on top
  const int left = alphaAt(image, 37, 50);
  EXPECT_GT(left, 0);
  EXPECT_NEAR(alphaAt(image, 62, 50), left, 2);
  EXPECT_NEAR(alphaAt(image, 50, 37), left, 2);
  EXPECT_LT(alphaAt(image, 33, 50), left);
  EXPECT_EQ(alphaAt(image, 40 - int(glow.reach()) - 2, 50), 0);
  EXPECT_TRUE(colourNear(image.pixel(37, 50), Palette::neonCyan, 8));
}

TEST(Glow, WithoutRadiusDrawsOnlyTheContent) {
  const QImage image = paintOffscreen(QSize(30, 30), [](QPainter& painter) {
    Glow{Palette::neonCyan, 0}.paint(painter, QRectF(10, 10, 10, 10), [](QPainter& target) {
      target.fillRect(QRectF(10, 10, 10, 10), Qt::black);
    });
  });
  EXPECT_EQ(alphaAt(image, 9, 15), 0);
  EXPECT_EQ(alphaAt(image, 15, 15), 255);
}

}  // namespace
