#include "overlays/markdownrenderer.h"

#include "overlays/markdownformats.h"
#include "overlays/markdowninline.h"
#include "overlays/markdownlines.h"
#include "theme/palette.h"

#include <QTextBlockFormat>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <limits>

namespace {

QTextCharFormat textFormat(qreal size, bool bold, const QColor& color) {
  QTextCharFormat format;
  format.setFont(MarkdownFormats::systemFont(size, bold));
  format.setForeground(color);
  return format;
}

struct HeadingStyle {
  qreal size;
  QColor color;
  qreal spaceBefore;
};

HeadingStyle headingStyle(int level) {
  switch (level) {
    case 1:
      return {17, Palette::neonCyan, 10};
    case 2:
      return {15, Palette::neonGreen, 6};
    default:
      return {13, Palette::withOpacity(Palette::neonCyan, 0.8), 6};
  }
}

// Header row green-tinted, then every second body row faintly lit.
QBrush cellBackground(int row) {
  if (row == 0) return Palette::withOpacity(Palette::neonGreen, 0.08);
  if (row % 2 == 0) return Palette::withOpacity(QColor(Qt::white), 0.03);
  return Qt::NoBrush;
}

}  // namespace

MarkdownRenderer::MarkdownRenderer(QTextDocument& document) : document_(document), cursor_(&document) {}

void MarkdownRenderer::render(const QString& source) {
  QString text = MarkdownLines::withoutLoneSurrogates(source);
  // Line feeds alone split lines: a carriage return stays part of its line.
  QList<QStringView> lines = QStringView(text).split(u'\n');
  const qsizetype kept = keptElements(lines);
  if (kept == 0) {
    document_.clear();
    cursor_ = QTextCursor(&document_);
    cursor_.setBlockFormat(QTextBlockFormat());
    cursor_.setBlockCharFormat(MarkdownFormats::base());
  }
  // One edit block for the whole rendering. Outside one, every insert lays out
  // its block again to place the cursor, which makes a long line cost the
  // square of its length, and tells the view's layout about every insert.
  QTextCursor edit(&document_);
  edit.beginEditBlock();
  cutBackTo(kept);
  // The views point into the text's buffer, which moves along with it.
  source_ = std::move(text);
  lines_ = std::move(lines);
  renderLines(kept == 0 ? 0 : elements_[kept - 1].endLine);
  edit.endEditBlock();
  renderedSize_ = document_.characterCount();
}

qsizetype MarkdownRenderer::keptElements(const QList<QStringView>& lines) const {
  if (renderedSize_ != document_.characterCount()) return 0;
  const qsizetype common = std::min(lines.size(), lines_.size());
  qsizetype firstChanged = 0;
  while (firstChanged < common && lines[firstChanged] == lines_[firstChanged]) ++firstChanged;
  // A line that is there now and was not (or the other way round) is a change too.
  if (firstChanged == common && lines.size() == lines_.size()) firstChanged = std::numeric_limits<qsizetype>::max();
  qsizetype kept = std::partition_point(elements_.begin(), elements_.end(),
                                        [firstChanged](const Element& e) { return e.lastLineRead < firstChanged; }) -
                   elements_.begin();
  // A table takes the line feed before it into its rendering (it follows the
  // previous line's block directly), so the cut goes before the element that
  // precedes it, which is never a table.
  if (kept > 0 && kept < elements_.size() && elements_[kept].table) --kept;
  if (kept < elements_.size() && elements_[kept].position == 0) kept = 0;
  return kept;
}

void MarkdownRenderer::cutBackTo(qsizetype kept) {
  if (kept > 0 && kept < elements_.size()) {
    // Everything from the first element that goes on; the block where it
    // began stays, empty, and is made fresh again as endBlock() left it.
    cursor_.setPosition(elements_[kept].position);
    cursor_.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor_.removeSelectedText();
    cursor_.setBlockFormat(QTextBlockFormat());
    cursor_.setBlockCharFormat(MarkdownFormats::base());
  } else if (kept > 0) {
    cursor_.movePosition(QTextCursor::End);
  }
  elements_.resize(kept);
}

void MarkdownRenderer::renderLines(qsizetype i) {
  while (i < lines_.size()) {
    const QStringView line = lines_[i];
    const QStringView trimmedLine = MarkdownLines::trimmed(line);
    Element element{i + 1, i, cursor_.position(), false};
    if (trimmedLine.contains(u'|')) {
      element.lastLineRead = i + 1;
      if (i + 1 < lines_.size() && MarkdownLines::isTableSeparatorRow(lines_[i + 1])) {
        QList<QStringView> rows;
        while (i < lines_.size() && MarkdownLines::trimmed(lines_[i]).contains(u'|')) rows.append(lines_[i++]);
        element.endLine = i;
        element.lastLineRead = i;
        element.table = true;
        renderTable(rows);
        elements_.append(element);
        continue;
      }
    }
    ++i;
    // Headings are recognised only at the very start of the line.
    if (line.startsWith(u"### ")) {
      renderHeading(line.mid(4), 3);
    } else if (line.startsWith(u"## ")) {
      renderHeading(line.mid(3), 2);
    } else if (line.startsWith(u"# ")) {
      renderHeading(line.mid(2), 1);
    } else if (MarkdownLines::isRule(trimmedLine)) {
      renderRule();
    } else if (line.startsWith(u"- ") || line.startsWith(u"* ") || line.startsWith(u"• ")) {
      renderListItem(line.mid(2));
    } else {
      renderParagraph(line, trimmedLine);
    }
    elements_.append(element);
  }
}

void MarkdownRenderer::endBlock() {
  cursor_.insertBlock(QTextBlockFormat(), MarkdownFormats::base());
}

void MarkdownRenderer::renderTable(const QList<QStringView>& lines) {
  QList<QStringList> rows;
  for (QStringView line : lines) {
    if (!MarkdownLines::isTableSeparatorRow(line)) rows.append(MarkdownLines::parseTableRow(line));
  }
  if (rows.isEmpty()) return;  // separator rows only: nothing at all
  int columns = 0;
  for (const QStringList& row : rows) columns = std::max(columns, int(row.size()));

  QTextTableFormat tableFormat;
  tableFormat.setWidth(QTextLength(QTextLength::PercentageLength, 100));
  tableFormat.setBorder(0);
  tableFormat.setBorderStyle(QTextFrameFormat::BorderStyle_None);
  tableFormat.setCellSpacing(0);
  tableFormat.setCellPadding(0);
  // A table in a rich text document always follows a block. Put it after the
  // previous line rather than after an empty one; at the very start, flatten
  // the empty block it needs so the table still begins at the top.
  if (cursor_.block().previous().isValid()) {
    cursor_.deletePreviousChar();
  } else {
    QTextBlockFormat flat;
    flat.setLineHeight(0, QTextBlockFormat::FixedHeight);
    cursor_.setBlockFormat(flat);
  }
  QTextTable* table = cursor_.insertTable(int(rows.size()), columns, tableFormat);

  for (int r = 0; r < rows.size(); ++r) {
    const QTextCharFormat format = r == 0 ? textFormat(12, true, Palette::neonGreen)
                                          : textFormat(12, false, Palette::cyberTextPrimary);
    for (int c = 0; c < columns; ++c) {
      QTextTableCell cell = table->cellAt(r, c);
      QTextCursor cellCursor = cell.firstCursorPosition();
      QTextBlockFormat blockFormat;
      blockFormat.setAlignment(Qt::AlignLeft);
      cellCursor.setBlockFormat(blockFormat);
      cellCursor.setBlockCharFormat(format);
      renderInline(cellCursor, c < rows[r].size() ? QStringView(rows[r][c]) : QStringView(), format);

      // The cell's own format lives where its first block's character format
      // does: set it last, or that format overwrites it.
      QTextTableCellFormat cellFormat;
      cellFormat.setTopPadding(6);
      cellFormat.setBottomPadding(6);
      cellFormat.setLeftPadding(10);
      cellFormat.setRightPadding(10);
      cellFormat.setBackground(cellBackground(r));
      cell.setFormat(cellFormat);
    }
  }
  // On past the table, then the empty line that follows it.
  cursor_ = table->lastCursorPosition();
  cursor_.movePosition(QTextCursor::NextBlock);
  cursor_.setBlockFormat(QTextBlockFormat());
  cursor_.setBlockCharFormat(MarkdownFormats::base());
  endBlock();
}

void MarkdownRenderer::renderHeading(QStringView text, int level) {
  const HeadingStyle style = headingStyle(level);
  QTextBlockFormat block;
  block.setTopMargin(style.spaceBefore);
  block.setBottomMargin(4);
  const QTextCharFormat format = textFormat(style.size, true, style.color);
  cursor_.setBlockFormat(block);
  cursor_.setBlockCharFormat(format);
  renderInline(cursor_, text, format);
  endBlock();
}

void MarkdownRenderer::renderRule() {
  const QTextCharFormat format = textFormat(5, false, Palette::withOpacity(Palette::neonCyan, 0.25));
  cursor_.setBlockCharFormat(format);
  cursor_.insertText(QString(22, QChar(0x2500)), format);
  endBlock();
}

void MarkdownRenderer::renderListItem(QStringView text) {
  // Wrapped lines of an item hang 16 to the right of its bullet.
  QTextBlockFormat block;
  block.setLeftMargin(16);
  block.setTextIndent(-16);
  block.setBottomMargin(2);
  cursor_.setBlockFormat(block);
  const QTextCharFormat bullet = textFormat(13, false, Palette::withOpacity(Palette::neonCyan, 0.7));
  const QTextCharFormat item = textFormat(13, false, Palette::cyberTextPrimary);
  cursor_.setBlockCharFormat(item);
  cursor_.insertText(QStringLiteral("  • "), bullet);
  renderInline(cursor_, text, item);
  endBlock();
}

void MarkdownRenderer::renderParagraph(QStringView line, QStringView trimmedLine) {
  // A paragraph keeps its leading spaces; a blank line is an empty block.
  if (!trimmedLine.isEmpty()) renderInline(cursor_, line, MarkdownFormats::base());
  endBlock();
}

void renderMarkdown(const QString& source, QTextDocument& document) { MarkdownRenderer(document).render(source); }
