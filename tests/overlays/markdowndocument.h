#pragma once

#include <QColor>
#include <QFontDatabase>
#include <QHash>
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
// depend on the machine's fonts. With `numberObjectsInOrder`, the index that
// ties a table's cells to the table is the table's place among the tables of
// the document, rather than the document's own counter, which goes on
// counting tables that were removed.
class DocumentDump {
 public:
  explicit DocumentDump(bool numberObjectsInOrder = false) : numberObjectsInOrder_(numberObjectsInOrder) {}

  QStringList lines(const QTextDocument& document) {
    objects_.clear();
    indices_.clear();
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
    QString line = QStringLiteral("%1block %2 %3:").arg(indent, id(block.blockFormatIndex(), block.blockFormat()),
                                                       id(block.charFormatIndex(), block.charFormat()));
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      line += QStringLiteral(" %1\"%2\"").arg(id(fragment.charFormatIndex(), fragment.charFormat()),
                                              escaped(fragment.text()));
    }
    out.append(line);
  }

  // The number of the document's format `index`, spelled out once per document.
  QString id(int index, const QTextFormat& format) {
    auto known = indices_.constFind(index);
    if (known == indices_.constEnd()) known = indices_.insert(index, id(format));
    return *known;
  }

  QString id(const QTextFormat& format) {
    QStringList properties{QStringLiteral("type=%1").arg(format.type())};
    const QMap<int, QVariant> map = format.properties();
    for (auto it = map.begin(); it != map.end(); ++it) {
      QString spelled = value(it.value());
      if (numberObjectsInOrder_ && it.key() == QTextFormat::ObjectIndex) {
        const int object = it.value().toInt();
        if (!objects_.contains(object)) objects_.append(object);
        spelled = QStringLiteral("object%1").arg(objects_.indexOf(object));
      }
      properties.append(QStringLiteral("%1=%2").arg(QString::number(it.key(), 16), spelled));
    }
    const QString spelled = properties.join(u' ');
    auto known = numbers_.constFind(spelled);
    if (known == numbers_.constEnd()) {
      known = numbers_.insert(spelled, formats_.size());
      formats_.append(spelled);
    }
    return QStringLiteral("F%1").arg(*known);
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
    static const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    static const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (names == general.families() || (names.size() == 1 && names[0] == general.family())) {
      return QStringLiteral("general");
    }
    if (names == fixed.families() || (names.size() == 1 && names[0] == fixed.family())) return QStringLiteral("fixed");
    return QLatin1Char('"') + escaped(names.join(u',')) + QLatin1Char('"');
  }

  bool numberObjectsInOrder_;
  QList<int> objects_;
  QStringList formats_;
  QHash<QString, qsizetype> numbers_;
  QHash<int, QString> indices_;
};

}  // namespace MarkdownDocument
