#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTextCursor>

class QTextDocument;

// Turns the markdown of an answer into rich text, line by line: every line is
// one block (a table takes several lines). It knows pipe tables, headings of
// three levels ("# ", "## ", "### " at the very start of a line), rules,
// bullets ("- ", "* ", "• ") and paragraphs, with inline links, bold, italic
// and code (see renderInline). Anything else (fenced code, numbered lists,
// quotes, images) is a paragraph shown as typed, with only the inline rules
// applied. Every input gives some output; there is no failure. A lone
// surrogate (text that is not valid UTF-16) shows as U+FFFD.
//
// Rendering into the same document again keeps what it can of the last
// rendering: the blocks of the lines before the first changed line stay, save
// those whose reading looked at a changed line (whether a line with a pipe
// starts a table depends on the next line, and a table ends at the first line
// without one), and only the rest is rendered. An answer that streams in thus
// does not cost its whole rendering again at every piece, and the document
// always ends up exactly as a rendering from scratch would leave it.
class MarkdownRenderer {
 public:
  explicit MarkdownRenderer(QTextDocument& document);

  // Replaces the document's content with the rendering of `source`.
  void render(const QString& source);

 private:
  // The blocks that the lines up to `endLine` (from the previous element's
  // end) became, starting at `position` in the document, and the last line
  // their reading looked at (one past the last line when it looked for the
  // source's end).
  struct Element {
    qsizetype endLine;
    qsizetype lastLineRead;
    int position;
    bool table;
  };

  // How many elements of the last rendering stay when the source's lines
  // become `lines`.
  qsizetype keptElements(const QList<QStringView>& lines) const;
  // Cuts the document back to the end of the first `kept` elements.
  void cutBackTo(qsizetype kept);
  void renderLines(qsizetype first);
  void renderTable(const QList<QStringView>& lines);
  void renderHeading(QStringView text, int level);
  void renderRule();
  void renderListItem(QStringView text);
  void renderParagraph(QStringView line, QStringView trimmedLine);
  // Ends the current block (a line feed) and starts a fresh one in the base format.
  void endBlock();

  QTextDocument& document_;
  QTextCursor cursor_;
  QString source_;
  QList<QStringView> lines_;  // of source_
  QList<Element> elements_;
  // The document's size after the last rendering: a document that someone
  // else changed since is rendered from scratch.
  int renderedSize_ = -1;
};

// The whole of `source` rendered into `document` (emptied first).
void renderMarkdown(const QString& source, QTextDocument& document);
