#include "overlays/markdownlines.h"
#include "overlays/markdownrenderer.h"
#include "theme/palette.h"

#include "markdowndocument.h"

#include <gtest/gtest.h>

namespace {

using namespace MarkdownDocument;

QStringList describeAll(const QString& source) {
  QTextDocument document;
  renderMarkdown(source, document);
  QStringList described;
  for (const Element& element : elementsOf(document)) described.append(describe(element));
  return described;
}

const QString kRule = QStringLiteral("5:") + QString(22, QChar(0x2500));

struct BlockCase {
  const char* source;
  QStringList expected;
};

TEST(MarkdownRenderer, ReadsEachLineAsOneBlock) {
  const BlockCase cases[] = {
      {"# Title", {"17b:Title"}},
      {"## Section", {"15b:Section"}},
      {"### Detail", {"13b:Detail"}},
      {"#### four", {"13:#### four"}},
      {"#tag", {"13:#tag"}},
      {" # indented", {"13: # indented"}},
      {"---", {kRule}},
      {"  - -  ", {kRule}},
      {"===", {kRule}},
      {"= = =", {kRule}},
      {"--", {"13:--"}},
      {"---\r", {"13:---"}},
      {"- one", {"13:  • one"}},
      {"* two", {"13:  • two"}},
      {"• three", {"13:  • three"}},
      {"  - nested", {"13:  - nested"}},
      {"1. first", {"13:1. first"}},
      {"```", {"13:```"}},
      {"a\n\n \nb", {"13:a", "", "", "13:b"}},
      {"a\r\nb\r\n", {"13:a", "13:b", ""}},
      {"x | y\n---", {"13:x | y", kRule}},
      {"", {""}},
  };
  for (const BlockCase& c : cases) EXPECT_EQ(describeAll(QString::fromUtf8(c.source)), c.expected) << c.source;
}

TEST(MarkdownRenderer, HeadingsAndItemsCarryTheirSpacing) {
  QTextDocument document;
  renderMarkdown(QStringLiteral("# A\n## B\n### C\n- item"), document);
  const QList<Element> elements = elementsOf(document);
  ASSERT_EQ(elements.size(), 4);
  const qreal before[] = {10, 6, 6};
  const QColor colours[] = {Palette::neonCyan, Palette::neonGreen, Palette::withOpacity(Palette::neonCyan, 0.8)};
  for (int level = 0; level < 3; ++level) {
    EXPECT_EQ(elements[level].block.blockFormat().topMargin(), before[level]);
    EXPECT_EQ(elements[level].block.blockFormat().bottomMargin(), 4);
    EXPECT_EQ(foreground(elements[level].runs.first().format), colours[level]);
  }
  const Element& item = elements[3];
  EXPECT_EQ(item.block.blockFormat().leftMargin(), 16);
  EXPECT_EQ(item.block.blockFormat().textIndent(), -16);
  EXPECT_EQ(item.block.blockFormat().bottomMargin(), 2);
  ASSERT_EQ(item.runs.size(), 2);
  EXPECT_EQ(item.runs[0].text, QStringLiteral("  • "));
  EXPECT_EQ(foreground(item.runs[0].format), Palette::withOpacity(Palette::neonCyan, 0.7));
  EXPECT_EQ(foreground(item.runs[1].format), Palette::cyberTextPrimary);
}

QStringList cellTexts(QTextTable* table, int row) {
  QStringList texts;
  for (int c = 0; c < table->columns(); ++c) {
    const QTextTableCell cell = table->cellAt(row, c);
    texts.append(cell.firstCursorPosition().block().text());
  }
  return texts;
}

TEST(MarkdownRenderer, PipeTablesWithAGreenHeaderAndShadedEvenRows) {
  QTextDocument document;
  renderMarkdown(QStringLiteral("Before\n| Name | Value |\n|:--|--:|\n| a | 1 |\n| b |\n|c||d|\nAfter"), document);
  const QList<Element> elements = elementsOf(document);
  ASSERT_EQ(elements.size(), 4);
  EXPECT_EQ(describe(elements[0]), QStringLiteral("13:Before"));
  EXPECT_EQ(describe(elements[2]), QString());  // the line feed after the table
  EXPECT_EQ(describe(elements[3]), QStringLiteral("13:After"));

  QTextTable* table = elements[1].table;
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->rows(), 4);
  ASSERT_EQ(table->columns(), 3);  // the widest row decides
  EXPECT_EQ(cellTexts(table, 0), QStringList({"Name", "Value", ""}));
  EXPECT_EQ(cellTexts(table, 1), QStringList({"a", "1", ""}));
  EXPECT_EQ(cellTexts(table, 2), QStringList({"b", "", ""}));
  EXPECT_EQ(cellTexts(table, 3), QStringList({"c", "", "d"}));

  const QTextCharFormat header = runsOf(table->cellAt(0, 0).firstCursorPosition().block()).first().format;
  EXPECT_TRUE(isBold(header));
  EXPECT_EQ(pixelSize(header), 12);
  EXPECT_EQ(foreground(header), Palette::neonGreen);
  const QTextCharFormat body = runsOf(table->cellAt(1, 0).firstCursorPosition().block()).first().format;
  EXPECT_FALSE(isBold(body));
  EXPECT_EQ(foreground(body), Palette::cyberTextPrimary);

  const auto background = [&](int row) { return table->cellAt(row, 0).format().background(); };
  EXPECT_EQ(background(0).color(), Palette::withOpacity(Palette::neonGreen, 0.08));
  EXPECT_EQ(background(1).style(), Qt::NoBrush);
  EXPECT_EQ(background(2).color(), Palette::withOpacity(QColor(Qt::white), 0.03));
  EXPECT_EQ(background(3).style(), Qt::NoBrush);
  const QTextTableCellFormat cell = table->cellAt(1, 1).format().toTableCellFormat();
  EXPECT_EQ(cell.topPadding(), 6);
  EXPECT_EQ(cell.leftPadding(), 10);
}

TEST(MarkdownRenderer, TablesAtTheStartAndOfSeparatorsOnly) {
  EXPECT_EQ(describeAll(QStringLiteral("|--|\n|--|\nafter")), QStringList({"13:after"}));

  QTextDocument document;
  renderMarkdown(QStringLiteral("| x |\n|---|\n| 1 |"), document);
  const QList<Element> elements = elementsOf(document);
  ASSERT_EQ(elements.size(), 3);
  // The block a document needs before a table takes no room.
  EXPECT_EQ(elements[0].block.blockFormat().lineHeightType(), int(QTextBlockFormat::FixedHeight));
  EXPECT_EQ(elements[0].block.blockFormat().lineHeight(), 0);
  ASSERT_NE(elements[1].table, nullptr);
  EXPECT_EQ(elements[1].table->rows(), 2);
}

TEST(MarkdownLines, TableRowsAndSeparators) {
  EXPECT_TRUE(MarkdownLines::isTableSeparatorRow(u" |:---|---:| "));
  EXPECT_TRUE(MarkdownLines::isTableSeparatorRow(u"|"));
  EXPECT_FALSE(MarkdownLines::isTableSeparatorRow(u"---"));
  EXPECT_FALSE(MarkdownLines::isTableSeparatorRow(u"|-x-|"));
  EXPECT_EQ(MarkdownLines::parseTableRow(u"| a || b |"), QStringList({"a", "", "b"}));
  EXPECT_EQ(MarkdownLines::parseTableRow(u"a|b"), QStringList({"a", "b"}));
  // Space separators of every kind are trimmed, line ends never.
  EXPECT_EQ(MarkdownLines::trimmed(u"\u3000\u00a0\tx \r"), QStringView(u"x \r"));
}

}  // namespace
