#include "theme/palette.h"
#include "theme/symbolimage.h"

#include "paintprobe.h"

#include <gtest/gtest.h>

namespace {

TEST(SymbolImage, EverySymbolTheViewsNameExists) {
  const char* names[] = {
      "accessibility", "arrow.clockwise", "arrow.counterclockwise", "arrow.right", "brain.head.profile", "checkmark",
      "checkmark.circle.fill", "checkmark.seal.fill", "chevron.down", "chevron.left", "chevron.right", "chevron.up",
      "chevron.up.chevron.down", "circle.dashed", "clock", "clock.arrow.circlepath", "clock.badge.questionmark",
      "doc.on.clipboard", "doc.on.doc", "doc.richtext", "doc.text.magnifyingglass", "exclamationmark.circle.fill",
      "exclamationmark.shield.fill", "exclamationmark.triangle", "exclamationmark.triangle.fill", "gearshape", "globe",
      "hand.draw.fill", "hand.raised.fill", "house", "info.circle.fill", "key", "key.fill", "keyboard", "lock.shield",
      "lock.shield.fill", "magnifyingglass", "mic", "mic.fill", "pencil", "pencil.and.outline", "pencil.and.sparkles",
      "pencil.line", "person.circle.fill", "person.crop.rectangle.stack", "person.text.rectangle", "pin", "pin.fill",
      "plus", "questionmark", "questionmark.circle.fill", "quote.bubble",
      "rectangle.and.arrow.up.right.and.arrow.down.left", "rectangle.portrait.and.arrow.right", "sparkles",
      "square.and.pencil", "text.alignleft", "text.badge.plus", "text.book.closed", "text.cursor", "textformat", "trash",
      "waveform", "waveform.circle", "waveform.circle.fill", "waveform.slash", "xmark", "xmark.circle.fill"};
  for (const char* name : names) {
    EXPECT_TRUE(SymbolImage::exists(QString::fromLatin1(name))) << name;
    EXPECT_FALSE(SymbolImage::pixmap(QString::fromLatin1(name), 14, Palette::neonCyan).isNull()) << name;
  }
  EXPECT_EQ(SymbolImage::names().size(), 91);
}

TEST(SymbolImage, TellsWhetherAFilledFormExists) {
  struct Case {
    const char* name;
    bool filled;
  };
  // The sidebar's icons all have one; many symbols have none.
  const Case cases[] = {{"house", true},     {"text.book.closed", true}, {"person.text.rectangle", true},
                        {"clock", true},     {"gearshape", true},        {"mic", true},
                        {"waveform", false}, {"xmark", false},           {"globe", false},
                        {"mic.fill", false}, {"", false},                {"no.such.symbol", false}};
  for (const Case& c : cases) {
    const QString name = QString::fromLatin1(c.name);
    EXPECT_EQ(SymbolImage::hasFillVariant(name), c.filled) << c.name;
    EXPECT_EQ(SymbolImage::filledOrSelf(name), c.filled ? name + ".fill" : name) << c.name;
  }
}

TEST(SymbolImage, AnUnknownNameDrawsNothing) {
  EXPECT_FALSE(SymbolImage::exists(QStringLiteral("no.such.symbol")));
  EXPECT_TRUE(SymbolImage::pixmap(QStringLiteral("no.such.symbol"), 14, Palette::neonCyan).isNull());
  EXPECT_TRUE(SymbolImage::icon(QStringLiteral("no.such.symbol"), Palette::neonCyan).isNull());
  const QImage image = paintOffscreen(QSize(20, 20), [](QPainter& painter) {
    SymbolImage::paint(painter, QRectF(0, 0, 20, 20), QStringLiteral("../fonts/Rajdhani-Medium"), Palette::neonCyan);
  });
  EXPECT_EQ(totalAlpha(image), 0);
}

TEST(SymbolImage, IsTintedWithTheGivenColourAtTheRequestedSize) {
  const QPixmap pixmap = SymbolImage::pixmap(QStringLiteral("mic.fill"), 20, Palette::neonOrange, 2);
  EXPECT_EQ(pixmap.size(), QSize(48, 48));  // a 24-pixel box at device ratio 2
  EXPECT_EQ(pixmap.devicePixelRatio(), 2);
  const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
  int opaque = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(image.pixel(x, y)) < 250) continue;
      ++opaque;
      EXPECT_TRUE(colourNear(image.pixel(x, y), Palette::neonOrange, 1)) << x << "," << y;
    }
  }
  EXPECT_GT(opaque, 100);
  EXPECT_EQ(alphaAt(image, 0, 0), 0);
  EXPECT_EQ(SymbolImage::boxSide(14), 17);
}

TEST(SymbolImage, TheFilledCircleCutsTheWaveformOutOfTheDisc) {
  const auto render = [](const char* name) {
    return SymbolImage::pixmap(QString::fromLatin1(name), 200, Palette::neonCyan).toImage().convertToFormat(
        QImage::Format_ARGB32);
  };
  const QImage ring = render("waveform.circle");
  const QImage disc = render("waveform.circle.fill");
  const int middle = ring.width() / 2;
  // The centre bar is paint in the ring and a hole in the disc; the space
  // between bars is the other way round.
  EXPECT_EQ(alphaAt(ring, middle, middle), 255);
  EXPECT_EQ(alphaAt(disc, middle, middle), 0);
  const int gap = middle - ring.width() / 12;
  EXPECT_EQ(alphaAt(ring, gap, middle - ring.width() / 5), 0);
  EXPECT_EQ(alphaAt(disc, gap, middle - ring.width() / 5), 255);
}

TEST(SymbolImage, IconsRenderAtAnySizeAndDimWhenDisabled) {
  const QIcon icon = SymbolImage::icon(QStringLiteral("waveform.circle.fill"), Palette::neonCyan);
  ASSERT_FALSE(icon.isNull());
  for (int side : {16, 22, 64}) {
    const QImage normal = icon.pixmap(side, side).toImage();
    EXPECT_EQ(normal.width(), side);
    EXPECT_GT(totalAlpha(normal), 0);
  }
  const long long enabled = totalAlpha(icon.pixmap(32, 32).toImage());
  const long long disabled = totalAlpha(icon.pixmap(32, 32, QIcon::Disabled).toImage());
  EXPECT_LT(disabled, enabled / 2);
}

}  // namespace
