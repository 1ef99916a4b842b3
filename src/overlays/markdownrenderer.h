#pragma once

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
class MarkdownRenderer {
 public:
  // Renders into `document`, which is emptied first.
  explicit MarkdownRenderer(QTextDocument& document);

  void render(const QString& source);

 private:
  void renderTable(const QList<QStringView>& lines);
  void renderHeading(QStringView text, int level);
  void renderRule();
  void renderListItem(QStringView text);
  void renderParagraph(QStringView line, QStringView trimmedLine);
  // Ends the current block (a line feed) and starts a fresh one in the base format.
  void endBlock();

  QTextDocument& document_;
  QTextCursor cursor_;
};

// The whole of `source` rendered into `document` (emptied first).
void renderMarkdown(const QString& source, QTextDocument& document);
