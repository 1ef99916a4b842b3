#include "overlays/markdownrenderer.h"
#include "overlays/markdownscrollview.h"
#include "overlays/markdowntextview.h"

#include "fakeurlopener.h"

#include <QFile>
#include <QFontDatabase>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

#include <gtest/gtest.h>

namespace {

// A rendered document as text, so that two renderings compare exactly: every
// block of the root frame and of each table cell with its formats and runs.
// Formats are numbered as they first appear and spelled out by legend(); the
// interface and fixed fonts are named "general" and "fixed", tables by their
// place in the document (its own counter goes on counting removed tables).
class DocumentDump {
 public:
  QStringList lines(const QTextDocument& document) {
    objects_.clear();
    QStringList out{QStringLiteral("frame ") + id(document.rootFrame()->frameFormat())};
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
      auto* table = qobject_cast<QTextTable*>(it.currentFrame());
      if (!table) {
        block(it.currentBlock(), QString(), out);
        continue;
      }
      out.append(QStringLiteral("table %1x%2 %3").arg(table->rows()).arg(table->columns()).arg(id(table->format())));
      for (int r = 0; r < table->rows(); ++r) {
        for (int c = 0; c < table->columns(); ++c) {
          const QTextTableCell cell = table->cellAt(r, c);
          out.append(QStringLiteral("  cell %1,%2 %3").arg(r).arg(c).arg(id(cell.format())));
          for (auto inner = cell.begin(); !inner.atEnd(); ++inner) {
            if (inner.currentBlock().isValid()) block(inner.currentBlock(), QStringLiteral("    "), out);
          }
        }
      }
    }
    return out;
  }

  QStringList legend() const {
    QStringList out;
    for (qsizetype i = 0; i < formats_.size(); ++i) out.append(QStringLiteral("%1 %2").arg(i).arg(formats_[i]));
    return out;
  }

  // Line ends, controls, surrogates, U+FFFD and spaces other than U+0020 as
  // \r, \t, \uXXXX; backslashes and quotes escaped.
  static QString escaped(QStringView text) {
    QString out;
    for (QChar c : text) {
      if (c == u'\\' || c == u'"') {
        out += u'\\';
        out += c;
      } else if (c == u'\r' || c == u'\t') {
        out += c == u'\r' ? QStringLiteral("\\r") : QStringLiteral("\\t");
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
      // The fixed-pitch font's style hint differs between platform plugins: not the renderer's to decide.
      if (it.key() == QTextFormat::FontStyleHint) continue;
      QString spelled = value(it.value());
      if (it.key() == QTextFormat::ObjectIndex) {
        if (!objects_.contains(it.value().toInt())) objects_.append(it.value().toInt());
        spelled = QStringLiteral("object%1").arg(objects_.indexOf(it.value().toInt()));
      }
      properties.append(QStringLiteral("%1=%2").arg(QString::number(it.key(), 16), spelled));
    }
    const QString spelled = properties.join(u' ');
    if (!formats_.contains(spelled)) formats_.append(spelled);
    return QStringLiteral("F%1").arg(formats_.indexOf(spelled));
  }

  static QString value(const QVariant& value) {
    if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QStringList) {
      static const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
      static const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
      const QStringList names = value.toStringList();
      const auto is = [&](const QFont& font) {
        return names == font.families() || (names.size() == 1 && names[0] == font.family());
      };
      if (is(general)) return QStringLiteral("general");
      if (is(fixed)) return QStringLiteral("fixed");
      return QLatin1Char('"') + escaped(names.join(u',')) + QLatin1Char('"');
    }
    if (value.typeId() == QMetaType::QBrush) {
      const QBrush brush = value.value<QBrush>();
      return QStringLiteral("brush(%1,%2)").arg(int(brush.style())).arg(brush.color().name(QColor::HexArgb));
    }
    if (value.typeId() == QMetaType::QTextLength) {
      const QTextLength length = value.value<QTextLength>();
      return QStringLiteral("length(%1,%2)").arg(int(length.type())).arg(length.rawValue());
    }
    if (value.typeId() == QMetaType::QColor) return value.value<QColor>().name(QColor::HexArgb);
    return value.toString();
  }

  QList<int> objects_;
  QStringList formats_;
};

// The corpus: markdown sources with the documents they render to (its head says how it is written).
struct CorpusCase {
  QString name, source;
  QStringList rendering;
};
struct Corpus {
  QList<CorpusCase> cases;
  QStringList formats;
};

QString unescaped(QStringView line) {
  QString out;
  for (qsizetype i = 0; i < line.size(); ++i) {
    if (line[i] != u'\\' || i + 1 == line.size()) {
      out += line[i];
    } else if (line[++i] == u'r' || line[i] == u't') {
      out += line[i] == u'r' ? u'\r' : u'\t';
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
      corpus.cases.append({line.mid(4), QString(), {}});
    } else if (line.startsWith(u'>') && !corpus.cases.isEmpty()) {
      corpus.cases.last().source += unescaped(QStringView(line).mid(2)) + u'\n';
    } else if (line.startsWith(QStringLiteral("< "))) {
      corpus.cases.last().rendering.append(line.mid(2));
    }
  }
  for (CorpusCase& c : corpus.cases) c.source.chop(1);  // no line feed after the last line
  return corpus;
}

TEST(MarkdownRenderer, RendersTheCorpusExactlyAsRecorded) {
  const Corpus corpus = readCorpus();
  ASSERT_FALSE(corpus.cases.isEmpty());
  DocumentDump dump;
  for (const CorpusCase& c : corpus.cases) {
    QTextDocument document;
    renderMarkdown(c.source, document);
    const QStringList rendering = dump.lines(document);
    EXPECT_EQ(rendering, c.rendering) << c.name.toStdString() << " renders as\n< " << rendering.join("\n< ").toStdString();
  }
  EXPECT_EQ(dump.legend(), corpus.formats) << "formats now\n" << dump.legend().join(u'\n').toStdString();
}

// What a renderer keeps of its last rendering is never stale: an answer that
// streams in piece by piece, and one text replaced by another, leave the
// document exactly as a rendering from scratch.
TEST(MarkdownRenderer, RenderingAgainEndsAsARenderingFromScratch) {
  const Corpus corpus = readCorpus();
  ASSERT_FALSE(corpus.cases.isEmpty());
  QTextDocument document;
  MarkdownRenderer renderer(document);
  DocumentDump dump;
  const auto renderAndCompare = [&](const QString& source) {
    renderer.render(source);
    QTextDocument fresh;
    renderMarkdown(source, fresh);
    const QStringList rendered = dump.lines(document);
    EXPECT_EQ(rendered, dump.lines(fresh)) << "rendering " << DocumentDump::escaped(source).toStdString();
    return rendered == dump.lines(fresh);
  };
  // Each case streamed in pieces of one to five characters, each in place of
  // the one before; then all cases in one text, and that text without one.
  for (const CorpusCase& c : corpus.cases) {
    for (qsizetype end = 0, piece = 1; end < c.source.size(); end += piece, piece = piece % 5 + 1) {
      if (!renderAndCompare(c.source.left(end))) return;
    }
    if (!renderAndCompare(c.source)) return;
  }
  QStringList sources;
  for (const CorpusCase& c : corpus.cases) sources.append(c.source);
  for (qsizetype k = 1; k < sources.size(); k += 3) {
    QStringList without = sources;
    without.removeAt(k);
    if (!renderAndCompare(sources.join(u'\n')) || !renderAndCompare(without.join(u'\n'))) return;
  }
}

TEST(MarkdownScrollView, SameTextKeepsSelectionAndScrollNewTextGoesToTheTop) {
  const auto longText = [](const QString& word) { return QStringLiteral("%1 line\n").arg(word).repeated(200); };
  MarkdownScrollView view(longText(QStringLiteral("first")), 280);
  view.resize(400, 200);
  view.show();
  MarkdownTextView* text = view.textView();
  QScrollBar* bar = text->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  QTextCursor selection(text->document());
  selection.setPosition(10);
  selection.setPosition(20, QTextCursor::KeepAnchor);
  text->setTextCursor(selection);
  bar->setValue(bar->maximum() / 2);

  view.setText(longText(QStringLiteral("first")));
  EXPECT_EQ(bar->value(), bar->maximum() / 2);
  EXPECT_EQ(std::pair(text->textCursor().selectionStart(), text->textCursor().selectionEnd()), std::pair(10, 20));

  view.setText(longText(QStringLiteral("second")));
  EXPECT_EQ(bar->value(), 0);
  EXPECT_FALSE(text->textCursor().hasSelection());
  EXPECT_TRUE(text->document()->firstBlock().text().startsWith(QStringLiteral("second")));
}

// A click on a link opens it, when it is a web or mail address; a mail
// address keeps only its subject and body (never an attachment).
TEST(MarkdownScrollView, OpensOnlyWebAndMailLinksAndMailOnlyWithSubjectAndBody) {
  FakeUrlOpener opener;
  const struct {
    const char *address, *opened;  // null: refused
  } cases[] = {
      {"https://example.com/a?x=1&attach=2", "https://example.com/a?x=1&attach=2"},
      {"HTTPS://EXAMPLE.COM", "https://example.com"},
      {"mailto:me@example.com?subject=Hi%20there&attach=/etc/passwd&body=a%26b",
       "mailto:me@example.com?subject=Hi%20there&body=a%26b"},
      {"MAILTO:me@example.com?ATTACH=~/.ssh/id_rsa&Subject=x", "mailto:me@example.com?subject=x"},
      {"mailto:me@example.com?%61ttach=x&cc=them@example.com&bcc=b@example.com&to=c@example.com",
       "mailto:me@example.com"},
      {"mailto:me@example.com?subject=a;attach=/etc/passwd",
       "mailto:me@example.com?subject=a%3Battach%3D%2Fetc%2Fpasswd"},
      {"file:///etc/passwd", nullptr},
      {"javascript:alert(1)", nullptr},
      {"relative/page", nullptr},
  };
  MarkdownScrollView view(QString(), 200);
  view.resize(500, 120);
  view.show();
  MarkdownTextView* text = view.textView();
  for (const auto& c : cases) {
    opener.opened.clear();
    view.setText(QStringLiteral("[Open this link](%1)").arg(QString::fromUtf8(c.address)));
    QTextCursor onLink(text->document());
    onLink.setPosition(3);
    QTest::mouseClick(text->viewport(), Qt::LeftButton, Qt::NoModifier, text->cursorRect(onLink).center());
    QStringList opened;
    for (const QUrl& url : opener.opened) opened << url.toString(QUrl::FullyEncoded);
    EXPECT_EQ(opened, c.opened ? QStringList{QString::fromUtf8(c.opened)} : QStringList()) << c.address;
  }
}

}  // namespace
