#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <ostream>

// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// Reads a rendered markdown document back as the tests describe it.
namespace MarkdownDocument {

struct TextRun {
  QString text;
  QTextCharFormat format;
};

struct Element {
  QTextBlock block;              // a block of the root frame, or
  QTextTable* table = nullptr;   // a table
  QList<TextRun> runs;               // the block's runs (empty for a table)
};

inline QList<TextRun> runsOf(const QTextBlock& block) {
  QList<TextRun> runs;
  for (auto it = block.begin(); !it.atEnd(); ++it) runs.append({it.fragment().text(), it.fragment().charFormat()});
  return runs;
}

// The root frame's blocks and tables in order, without the empty block that
// always ends a document.
inline QList<Element> elementsOf(const QTextDocument& document) {
  QList<Element> elements;
  QTextFrame* root = document.rootFrame();
  for (auto it = root->begin(); !it.atEnd(); ++it) {
    if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
      elements.append({QTextBlock(), table, {}});
    } else if (it.currentBlock().isValid()) {
      elements.append({it.currentBlock(), nullptr, runsOf(it.currentBlock())});
    }
  }
  if (!elements.isEmpty() && !elements.last().table && elements.last().block.text().isEmpty()) elements.removeLast();
  return elements;
}

inline int pixelSize(const QTextCharFormat& format) { return format.intProperty(QTextFormat::FontPixelSize); }
inline bool isBold(const QTextCharFormat& format) { return format.fontWeight() >= QFont::Bold; }
inline QColor foreground(const QTextCharFormat& format) { return format.foreground().color(); }

// "17b:Title" for a block whose first run is bold at 17, "table 3x2" for a
// table, "" for an empty block.
inline QString describe(const Element& element) {
  if (element.table) return QStringLiteral("table %1x%2").arg(element.table->rows()).arg(element.table->columns());
  if (element.runs.isEmpty()) return QString();
  const QTextCharFormat& first = element.runs.first().format;
  return QStringLiteral("%1%2:%3").arg(pixelSize(first)).arg(isBold(first) ? "b" : "").arg(element.block.text());
}

}  // namespace MarkdownDocument
