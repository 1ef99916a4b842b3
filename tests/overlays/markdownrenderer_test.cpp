#include "overlays/markdownlines.h"
#include "overlays/markdownrenderer.h"
#include "theme/palette.h"

#include "markdowndocument.h"

#include <QFile>

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

// The corpus: markdown sources with the documents they render to (see the
// head of the file for its form).
struct CorpusCase {
  QString name;
  QStringList sourceLines;  // as written in the file
  QString source;
  QStringList rendering;
};

struct Corpus {
  QStringList head;
  QList<CorpusCase> cases;
  QStringList formats;
};

QString unescaped(QStringView line) {
  QString out;
  for (qsizetype i = 0; i < line.size(); ++i) {
    if (line[i] != u'\\' || i + 1 == line.size()) {
      out += line[i];
    } else if (line[++i] == u'r') {
      out += u'\r';
    } else if (line[i] == u't') {
      out += u'\t';
    } else if (line[i] == u'u') {
      out += QChar(line.mid(i + 1, 4).toUShort(nullptr, 16));
      i += 4;
    } else {
      out += line[i];
    }
  }
  return out;
}

Corpus readCorpus() {
  QFile file(QStringLiteral(VELTRINE_MARKDOWN_CORPUS));
  if (!file.open(QIODevice::ReadOnly)) return {};
  Corpus corpus;
  bool inFormats = false;
  for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
    if (line == QStringLiteral("=== formats")) {
      inFormats = true;
    } else if (inFormats) {
      corpus.formats.append(line);
    } else if (line.startsWith(QStringLiteral("=== "))) {
      corpus.cases.append({line.mid(4), {}, {}, {}});
    } else if (corpus.cases.isEmpty()) {
      corpus.head.append(line);
    } else if (line.startsWith(u'>')) {
      corpus.cases.last().sourceLines.append(line);
    } else if (line.startsWith(QStringLiteral("< "))) {
      corpus.cases.last().rendering.append(line.mid(2));
    }
  }
  for (CorpusCase& c : corpus.cases) {
    QStringList lines;
    for (const QString& line : c.sourceLines) lines.append(unescaped(QStringView(line).mid(2)));
    c.source = lines.join(u'\n');
  }
  return corpus;
}

void writeCorpus(const Corpus& corpus) {
  QStringList lines = corpus.head;
  for (const CorpusCase& c : corpus.cases) {
    lines.append(QStringLiteral("=== ") + c.name);
    lines += c.sourceLines;
    for (const QString& line : c.rendering) lines.append(QStringLiteral("< ") + line);
  }
  lines.append(QStringLiteral("=== formats"));
  lines += corpus.formats;
  QFile file(QStringLiteral(VELTRINE_MARKDOWN_CORPUS));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write((lines.join(u'\n') + u'\n').toUtf8());
}

TEST(MarkdownRenderer, RendersTheCorpusExactlyAsRecorded) {
  Corpus corpus = readCorpus();
  ASSERT_FALSE(corpus.cases.isEmpty());
  DocumentDump dump;
  for (CorpusCase& c : corpus.cases) {
    QTextDocument document;
    renderMarkdown(c.source, document);
    const QStringList rendering = dump.lines(document);
    EXPECT_EQ(rendering, c.rendering) << c.name.toStdString();
    c.rendering = rendering;
  }
  EXPECT_EQ(dump.legend(), corpus.formats);
  if (qEnvironmentVariableIsSet("VELTRINE_WRITE_MARKDOWN_CORPUS")) {
    corpus.formats = dump.legend();
    writeCorpus(corpus);
  }
}

// What a renderer keeps of its last rendering is never stale: an answer that
// streams in piece by piece, and one text replaced by another, leave the
// document exactly as a rendering from scratch.
TEST(MarkdownRenderer, RenderingAgainEndsAsARenderingFromScratch) {
  const Corpus corpus = readCorpus();
  ASSERT_FALSE(corpus.cases.isEmpty());
  QTextDocument document;
  MarkdownRenderer renderer(document);
  DocumentDump dump(true);
  const auto renderAndCompare = [&](const QString& source) {
    renderer.render(source);
    QTextDocument fresh;
    renderMarkdown(source, fresh);
    const QStringList rendered = dump.lines(document);
    const QStringList expected = dump.lines(fresh);
    qsizetype same = 0;
    while (same < rendered.size() && same < expected.size() && rendered[same] == expected[same]) ++same;
    EXPECT_EQ(rendered.mid(same), expected.mid(same))
        << "after " << same << " equal lines, rendering " << DocumentDump::escaped(source).toStdString();
    return rendered == expected;
  };
  // Each case streamed in pieces of one to five characters, each in place of
  // the one before.
  for (const CorpusCase& c : corpus.cases) {
    for (qsizetype end = 0, piece = 1; end < c.source.size(); end += piece, piece = piece % 5 + 1) {
      if (!renderAndCompare(c.source.left(end))) return;
    }
    if (!renderAndCompare(c.source)) return;
  }
  // All cases in one text, and the same text without one of them.
  QStringList sources;
  for (const CorpusCase& c : corpus.cases) sources.append(c.source);
  for (qsizetype k = 1; k < sources.size(); k += 4) {
    QStringList without = sources;
    without.removeAt(k);
    if (!renderAndCompare(sources.join(u'\n')) || !renderAndCompare(without.join(u'\n'))) return;
  }
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
