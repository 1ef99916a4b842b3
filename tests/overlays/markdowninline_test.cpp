#include "overlays/markdownformats.h"
#include "overlays/markdowninline.h"
#include "overlays/markdownrenderer.h"
#include "theme/palette.h"

#include "markdowndocument.h"

#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

using namespace MarkdownDocument;

// A run as "text" (plain), "*text*" (italic), "**text**13" (bold at a size),
// "`text`" (code) or "[text](address)" (link).
QString tag(const TextRun& run) {
  const QTextCharFormat& f = run.format;
  if (f.isAnchor()) return QStringLiteral("[%1](%2)").arg(run.text, f.anchorHref());
  if (f.fontFixedPitch() || f.background().style() != Qt::NoBrush) return QStringLiteral("`%1`").arg(run.text);
  if (isBold(f)) return QStringLiteral("**%1**%2").arg(run.text).arg(pixelSize(f));
  if (f.fontItalic()) return QStringLiteral("*%1*").arg(run.text);
  return run.text;
}

QStringList runsOfLine(const QString& line) {
  QTextDocument document;
  renderMarkdown(line, document);
  QStringList tags;
  const QList<Element> elements = elementsOf(document);
  for (const TextRun& run : elements.first().runs) tags.append(tag(run));
  return tags;
}

struct InlineCase {
  const char* line;
  QStringList runs;
};

TEST(MarkdownInline, RendersLinksBoldItalicAndCodeInTheirOrder) {
  const InlineCase cases[] = {
      {"a **b c** d", {"a ", "**b c**13", " d"}},
      {"# **Big**", {"**Big**17"}},
      {"an *aside* here", {"an ", "*aside*", " here"}},
      {"**a*", {"*", "*a*"}},
      {"*****", {"*****13"}},  // one bold asterisk
      {"** not bold **", {"** not bold **"}},
      {"use `ls -l` now", {"use ", "`ls -l`", " now"}},
      {"see [docs](https://example.com/a?b=1)", {"see ", "[docs](https://example.com/a?b=1)"}},
      // A link anywhere comes first: earlier markup stays as typed.
      {"`x` then [y](https://y.org)", {"`x` then ", "[y](https://y.org)"}},
      {"**b** [l](mailto:me@example.com)", {"**b** ", "[l](mailto:me@example.com)"}},
      {"[bad](not a url)", {"bad"}},
      {"![img](https://i.org/p.png)", {"!", "[img](https://i.org/p.png)"}},
      {"a * b * c", {"a * b * c"}},
      {"日本*語*です", {"日本", "*語*", "です"}},
  };
  for (const InlineCase& c : cases) EXPECT_EQ(runsOfLine(QString::fromUtf8(c.line)), c.runs) << c.line;
}

TEST(MarkdownInline, MarkupFormats) {
  QTextDocument document;
  renderMarkdown(QStringLiteral("*i*\n`c`\n[l](https://l.org) x"), document);
  const QList<Element> elements = elementsOf(document);
  ASSERT_EQ(elements.size(), 3);
  const QTextCharFormat& italic = elements[0].runs[0].format;
  EXPECT_EQ(foreground(italic), Palette::cyberTextSecondary);
  EXPECT_TRUE(italic.fontItalic());

  const QTextCharFormat& code = elements[1].runs[0].format;
  EXPECT_EQ(foreground(code), Palette::neonLime);
  EXPECT_EQ(code.background().color(), Palette::withOpacity(Palette::black, 0.3));
  EXPECT_EQ(pixelSize(code), 12);
  EXPECT_TRUE(QFontInfo(code.font()).fixedPitch());

  const QList<TextRun>& linkLine = elements[2].runs;
  ASSERT_EQ(linkLine.size(), 2);
  EXPECT_EQ(foreground(linkLine[0].format), Palette::neonCyan);
  EXPECT_TRUE(linkLine[0].format.fontUnderline());
  EXPECT_EQ(foreground(linkLine[1].format), Palette::cyberTextPrimary);
  EXPECT_FALSE(linkLine[1].format.fontUnderline());
}

TEST(MarkdownInline, CodeKeepsItsOwnFormatInCellsAndItems) {
  QTextDocument document;
  renderMarkdown(QStringLiteral("- run `make`\n| h |\n|---|\n| `x` |"), document);
  const QList<Element> elements = elementsOf(document);
  ASSERT_GE(elements.size(), 2);
  const TextRun itemCode = elements[0].runs.last();
  EXPECT_EQ(itemCode.text, QStringLiteral("make"));
  EXPECT_EQ(foreground(itemCode.format), Palette::neonLime);
  ASSERT_NE(elements[1].table, nullptr);
  const QList<TextRun> cell = runsOf(elements[1].table->cellAt(1, 0).firstCursorPosition().block());
  ASSERT_EQ(cell.size(), 1);
  EXPECT_EQ(foreground(cell[0].format), Palette::neonLime);
  EXPECT_EQ(pixelSize(cell[0].format), 12);
  EXPECT_FALSE(isBold(cell[0].format));
}

TEST(MarkdownInline, LongLinesWithoutMarkupStayCheap) {
  // Plain text must not be rescanned character by character.
  const QString line = QString(200000, u'x') + QStringLiteral(" **end**");
  EXPECT_EQ(runsOfLine(line).last(), QStringLiteral("**end**13"));
}

}  // namespace
