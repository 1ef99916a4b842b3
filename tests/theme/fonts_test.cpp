#include "theme/fontbook.h"
#include "theme/fonts.h"
#include "theme/fonttables.h"

#include "paintprobe.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

// The face Qt really draws Latin text with, by its PostScript name.
QString resolvedFace(const QFont& font) {
  return FontTables::postScriptName(QRawFont::fromFont(font, QFontDatabase::Latin));
}

// The family of every glyph run `text` is laid out in, in order of the runs.
QStringList familiesDrawing(const QString& text, const QFont& font) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  QStringList families;
  for (const QGlyphRun& run : layout.glyphRuns()) {
    for (quint32 glyph : run.glyphIndexes()) {
      if (glyph == 0) return {QStringLiteral("<missing glyph>")};
    }
    families.append(run.rawFont().familyName());
  }
  families.removeDuplicates();
  return families;
}

TEST(Fonts, EveryFaceIsEmbedded) {
  EXPECT_EQ(FontBook::shared().faceNames(),
            QStringList({"Orbitron-Black", "Orbitron-Bold", "Rajdhani-Bold", "Rajdhani-Medium", "Rajdhani-SemiBold"}));
}

TEST(Fonts, EachWeightResolvesToItsFace) {
  struct Case {
    QFont::Weight weight;
    const char* rajdhani;
    const char* orbitron;
  };
  const Case cases[] = {
      {QFont::Thin, "Rajdhani-Medium", "Orbitron-Bold"},       {QFont::ExtraLight, "Rajdhani-Medium", "Orbitron-Bold"},
      {QFont::Light, "Rajdhani-Medium", "Orbitron-Bold"},      {QFont::Normal, "Rajdhani-Medium", "Orbitron-Bold"},
      {QFont::Medium, "Rajdhani-Medium", "Orbitron-Bold"},     {QFont::DemiBold, "Rajdhani-SemiBold", "Orbitron-Bold"},
      {QFont::Bold, "Rajdhani-Bold", "Orbitron-Bold"},         {QFont::ExtraBold, "Rajdhani-Bold", "Orbitron-Black"},
      {QFont::Black, "Rajdhani-Bold", "Orbitron-Black"},
      // Weights compare by value: one between two named weights takes the default face.
      {QFont::Weight(650), "Rajdhani-Medium", "Orbitron-Bold"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.weight));
    const QFont rajdhani = rajdhaniFont(14, c.weight);
    EXPECT_EQ(resolvedFace(rajdhani), c.rajdhani);
    EXPECT_EQ(rajdhani.pixelSize(), 14);
    const QFont orbitron = orbitronFont(22, c.weight);
    EXPECT_EQ(resolvedFace(orbitron), c.orbitron);
    EXPECT_EQ(orbitron.pixelSize(), 22);
  }
}

TEST(Fonts, ShorthandsPickTheirFaceAtTheGivenSize) {
  EXPECT_EQ(resolvedFace(rajdhaniMedium(13)), "Rajdhani-Medium");
  EXPECT_EQ(resolvedFace(rajdhaniSemiBold(13)), "Rajdhani-SemiBold");
  EXPECT_EQ(resolvedFace(rajdhaniBold(13)), "Rajdhani-Bold");
  EXPECT_EQ(rajdhaniMedium(13).pixelSize(), 13);
  EXPECT_EQ(orbitronFont(13, QFont::Bold).pixelSize(), 13);
  EXPECT_EQ(QRawFont::fromFont(rajdhaniSemiBold(11)).pixelSize(), 11);
}

TEST(Fonts, FacesAreDrawnWithTheirOwnOutlinesNotASynthesisedBold) {
  // Qt emboldens a face on its own when the requested weight is far above the
  // face's: the glyphs then grow fat. A face drawn as requested must look the
  // same as the plain family at its normal weight.
  for (const QString& face : FontBook::shared().faceNames()) {
    SCOPED_TRACE(face.toStdString());
    const QFont themed = FontBook::shared().font(face, 30);
    QFont plain(themed.families().first());
    plain.setPixelSize(30);
    plain.setWeight(QFont::Normal);
    const auto ink = [](const QFont& font) {
      return totalAlpha(paintOffscreen(QSize(400, 60), [&](QPainter& painter) {
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(10, 45, QStringLiteral("Veltrine 42"));
      }));
    };
    EXPECT_EQ(ink(themed), ink(plain));
  }
}

TEST(Fonts, ScriptsTheFacesLackFallBackByInterfaceLanguage) {
  struct Case {
    const char* language;
    QString text;
    QString family;
  };
  const Case cases[] = {
      {"zh", QStringLiteral("简体中文设置"), "Noto Sans CJK SC"},
      {"zh-Hant", QStringLiteral("繁體中文設定"), "Noto Sans CJK TC"},
      {"yue", QStringLiteral("粵語廣東省版"), "Noto Sans CJK HK"},
      {"ko", QStringLiteral("한국어 설정"), "Noto Sans CJK KR"},
      {"en", QStringLiteral("搜索结果"), "Noto Sans CJK SC"},
      {"ru", QStringLiteral("Русский"), "Noto Sans"},
      {"en", QStringLiteral("Veltrine"), "Rajdhani SemiBold"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    FontBook::shared().setLanguage(QString::fromLatin1(c.language));
    QStringList families = familiesDrawing(c.text, rajdhaniSemiBold(14));
    families.removeAll(QStringLiteral("Rajdhani SemiBold"));  // the spaces
    EXPECT_EQ(families, QStringList(c.family == "Rajdhani SemiBold" ? QStringList() : QStringList{c.family}));
  }
}

TEST(Fonts, AnExplicitLanguageOverridesTheCurrentOne) {
  FontBook::shared().setLanguage(QStringLiteral("zh"));
  const QFont korean = FontBook::shared().font(QStringLiteral("Rajdhani-Medium"), 14, QStringLiteral("ko"));
  EXPECT_EQ(familiesDrawing(QStringLiteral("中文"), korean), QStringList{"Noto Sans CJK KR"});
}

TEST(Fonts, EverySymbolTheTextsUseHasAGlyph) {
  const QString symbols = QStringLiteral("⟐◈▶◉●○◂▸■⏳✓🦞→·…—（）「」，。");
  for (const QFont& font : {rajdhaniMedium(14), rajdhaniSemiBold(14), orbitronFont(22, QFont::Black)}) {
    for (const char32_t character : symbols.toUcs4()) {
      const QString symbol = QString::fromUcs4(&character, 1);
      SCOPED_TRACE(symbol.toStdString());
      const QStringList families = familiesDrawing(symbol, font);
      ASSERT_EQ(families.size(), 1);
      // Drawn by one of the fonts the program ships or names, never by chance.
      EXPECT_TRUE(families.first() == font.families().first() ||
                  FontBook::fallbackFamilies(FontBook::shared().language()).contains(families.first()))
          << families.first().toStdString();
    }
  }
}

TEST(Fonts, AnUnknownFaceStillGivesAUsableFont) {
  const QFont font = FontBook::shared().font(QStringLiteral("Nowhere-Regular"), 12);
  EXPECT_EQ(font.pixelSize(), 12);
  EXPECT_EQ(familiesDrawing(QStringLiteral("abc"), font).size(), 1);
}

}  // namespace
