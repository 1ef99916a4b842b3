// Symbol images and fonts: what every view's icons and texts are drawn with.
#include "theme/fontbook.h"
#include "theme/fonts.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include "paintprobe.h"

#include <QGlyphRun>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

TEST(SymbolImage, EverySymbolDrawsInTheGivenColourAndAnUnknownNameDrawsNothing) {
  ASSERT_GT(SymbolImage::names().size(), 60);
  for (const QString& name : SymbolImage::names()) {
    const QImage image = SymbolImage::pixmap(name, 14, Palette::neonOrange, 2).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(image.size(), QSize(34, 34)) << name.toStdString();  // a 17-pixel box at device ratio 2
    int opaque = 0, offColour = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        opaque += alphaAt(image, x, y) >= 250;
        offColour += alphaAt(image, x, y) >= 250 && !colourNear(image.pixel(x, y), Palette::neonOrange, 1);
      }
    }
    EXPECT_GT(opaque, 10) << name.toStdString();
    EXPECT_EQ(offColour, 0) << name.toStdString();
    EXPECT_EQ(SymbolImage::hasFillVariant(name), SymbolImage::exists(name + QStringLiteral(".fill"))) << name.toStdString();
  }
  for (const QString& name : {QStringLiteral("no.such.symbol"), QStringLiteral("../fonts/Rajdhani-Medium"), QString()}) {
    EXPECT_FALSE(SymbolImage::exists(name) || !SymbolImage::pixmap(name, 14, Palette::neonCyan).isNull() ||
                 !SymbolImage::icon(name, Palette::neonCyan).isNull());
    const auto paint = [&](QPainter& painter) { SymbolImage::paint(painter, QRectF(0, 0, 20, 20), name, Palette::neonCyan); };
    EXPECT_EQ(totalAlpha(paintOffscreen(QSize(20, 20), paint)), 0);
  }
  const QIcon icon = SymbolImage::icon(QStringLiteral("waveform.circle.fill"), Palette::neonCyan);
  EXPECT_LT(totalAlpha(icon.pixmap(32, 32, QIcon::Disabled).toImage()), totalAlpha(icon.pixmap(32, 32).toImage()) / 2);
}

// The families `text` is drawn in, or a note of a glyph no font has.
QStringList familiesDrawing(const QString& text, const QFont& font) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  QStringList families;
  for (const QGlyphRun& run : layout.glyphRuns()) {
    if (run.glyphIndexes().contains(0)) return {QStringLiteral("<missing glyph>")};
    families.append(run.rawFont().familyName());
  }
  families.removeDuplicates();
  return families;
}

TEST(Fonts, ScriptsTheFacesLackFallBackByLanguageAndEverySymbolTheTextsUseHasAGlyph) {
  const QString before = FontBook::shared().language();
  const std::tuple<const char*, QString, QString> fallbacks[] = {
      {"zh", QStringLiteral("简体中文设置"), "Noto Sans CJK SC"}, {"zh-Hant", QStringLiteral("繁體中文設定"), "Noto Sans CJK TC"},
      {"yue", QStringLiteral("粵語廣東省版"), "Noto Sans CJK HK"}, {"ko", QStringLiteral("한국어 설정"), "Noto Sans CJK KR"},
      {"en", QStringLiteral("搜索结果"), "Noto Sans CJK SC"},      {"ru", QStringLiteral("Русский"), "Noto Sans"}};
  for (const auto& [language, text, family] : fallbacks) {
    FontBook::shared().setLanguage(QString::fromLatin1(language));
    QStringList families = familiesDrawing(text, rajdhaniSemiBold(14));
    families.removeAll(QStringLiteral("Rajdhani SemiBold"));  // the spaces
    EXPECT_EQ(families, QStringList{family}) << language;
  }
  for (const QFont& font : {rajdhaniMedium(14), rajdhaniSemiBold(14), orbitronFont(22, QFont::Black)}) {
    for (const char32_t character : QStringLiteral("⟐◈▶◉●○◂▸■⏳✓🦞→·…—（）「」，。").toUcs4()) {
      const QStringList families = familiesDrawing(QString::fromUcs4(&character, 1), font);
      ASSERT_EQ(families.size(), 1);
      EXPECT_TRUE(families.first() == font.families().first() ||
                  FontBook::fallbackFamilies(FontBook::shared().language()).contains(families.first()))
          << families.first().toStdString();
    }
  }
  FontBook::shared().setLanguage(before);
}

}  // namespace
