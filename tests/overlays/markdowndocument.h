#pragma once

#include <QColor>
#include <QFontDatabase>
#include <QList>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTextLength>

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


// The whole of a rendered document as text, so that two renderings can be
// compared exactly: every block of the root frame and of each table cell with
// its block format, its character format and its runs, every table with its
// format, size and cell formats. Formats are numbered as they first appear;
// legend() spells each out property by property. The interface and fixed
// fonts' families are named "general" and "fixed" so that the text does not
// depend on the machine's fonts.
class DocumentDump {
 public:
  QStringList lines(const QTextDocument& document) {
    QStringList out;
    out.append(QStringLiteral("frame ") + id(document.rootFrame()->frameFormat()));
    frame(document.rootFrame(), QString(), out);
    return out;
  }

  QStringList legend() const {
    QStringList out;
    for (qsizetype i = 0; i < formats_.size(); ++i) out.append(QStringLiteral("%1 %2").arg(i).arg(formats_[i]));
    return out;
  }

  // A text with line ends, other controls, surrogates, U+FFFD and the space
  // separators other than the space written as \r, \t, \uXXXX; backslashes and
  // quotes doubled.
  static QString escaped(QStringView text) {
    QString out;
    for (QChar c : text) {
      if (c == u'\\' || c == u'"') {
        out += u'\\';
        out += c;
      } else if (c == u'\r') {
        out += QStringLiteral("\\r");
      } else if (c == u'\t') {
        out += QStringLiteral("\\t");
      } else if (c.isSurrogate() || (c != u' ' && c.category() == QChar::Separator_Space) || !c.isPrint() ||
                 c == QChar::ReplacementCharacter) {
        out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
      } else {
        out += c;
      }
    }
    return out;
  }

 private:
  void frame(QTextFrame* frame, const QString& indent, QStringList& out) {
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
      if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
        out.append(QStringLiteral("%1table %2x%3 %4")
                       .arg(indent)
                       .arg(table->rows())
                       .arg(table->columns())
                       .arg(id(table->format())));
        for (int r = 0; r < table->rows(); ++r) {
          for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            out.append(QStringLiteral("%1  cell %2,%3 %4").arg(indent).arg(r).arg(c).arg(id(cell.format())));
            for (auto inner = cell.begin(); !inner.atEnd(); ++inner) {
              if (inner.currentBlock().isValid()) block(inner.currentBlock(), indent + QStringLiteral("    "), out);
            }
          }
        }
      } else if (it.currentFrame()) {
        out.append(indent + QStringLiteral("frame ") + id(it.currentFrame()->frameFormat()));
        this->frame(it.currentFrame(), indent + QStringLiteral("  "), out);
      } else {
        block(it.currentBlock(), indent, out);
      }
    }
  }

  void block(const QTextBlock& block, const QString& indent, QStringList& out) {
    QString line = QStringLiteral("%1block %2 %3:").arg(indent, id(block.blockFormat()), id(block.charFormat()));
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      line += QStringLiteral(" %1\"%2\"").arg(id(it.fragment().charFormat()), escaped(it.fragment().text()));
    }
    out.append(line);
  }

  QString id(const QTextFormat& format) {
    QStringList properties{QStringLiteral("type=%1").arg(format.type())};
    const QMap<int, QVariant> map = format.properties();
    for (auto it = map.begin(); it != map.end(); ++it) {
      properties.append(QStringLiteral("%1=%2").arg(QString::number(it.key(), 16), value(it.value())));
    }
    const QString spelled = properties.join(u' ');
    qsizetype index = formats_.indexOf(spelled);
    if (index < 0) {
      index = formats_.size();
      formats_.append(spelled);
    }
    return QStringLiteral("F%1").arg(index);
  }

  static QString value(const QVariant& value) {
    switch (value.typeId()) {
      case QMetaType::QBrush: {
        const QBrush brush = value.value<QBrush>();
        return QStringLiteral("brush(%1,%2)").arg(int(brush.style())).arg(brush.color().name(QColor::HexArgb));
      }
      case QMetaType::QColor:
        return value.value<QColor>().name(QColor::HexArgb);
      case QMetaType::QTextLength: {
        const QTextLength length = value.value<QTextLength>();
        return QStringLiteral("length(%1,%2)").arg(int(length.type())).arg(length.rawValue());
      }
      case QMetaType::QStringList:
        return family(value.toStringList());
      case QMetaType::QString:
        return family({value.toString()});
      case QMetaType::Bool:
      case QMetaType::Int:
      case QMetaType::Double:
        return value.toString();
      default:
        return QStringLiteral("%1(%2)").arg(QString::fromLatin1(value.typeName()), value.toString());
    }
  }

  static QString family(const QStringList& names) {
    if (names == QFontDatabase::systemFont(QFontDatabase::GeneralFont).families()) return QStringLiteral("general");
    if (names == QFontDatabase::systemFont(QFontDatabase::FixedFont).families()) return QStringLiteral("fixed");
    if (names.size() == 1) {
      if (names[0] == QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()) return QStringLiteral("general");
      if (names[0] == QFontDatabase::systemFont(QFontDatabase::FixedFont).family()) return QStringLiteral("fixed");
    }
    return QLatin1Char('"') + escaped(names.join(u',')) + QLatin1Char('"');
  }

  QStringList formats_;
};

}  // namespace MarkdownDocument
