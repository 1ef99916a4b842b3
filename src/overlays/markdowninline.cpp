#include "overlays/markdowninline.h"

#include "overlays/markdownformats.h"
#include "theme/palette.h"

#include <QRegularExpression>
#include <QTextCursor>
#include <QUrl>

namespace {

// Unicode-aware \s and \S, like the patterns' original engine.
QRegularExpression pattern(const char* source) {
  return QRegularExpression(QString::fromLatin1(source), QRegularExpression::UseUnicodePropertiesOption);
}

const QRegularExpression& linkPattern() {
  static const QRegularExpression re = pattern(R"(\[([^\]]+)\]\(([^)]+)\))");
  return re;
}
const QRegularExpression& boldPattern() {
  static const QRegularExpression re = pattern(R"(\*\*([^\*\s][^\*]*?[^\*\s]|\S)\*\*)");
  return re;
}
const QRegularExpression& italicPattern() {
  static const QRegularExpression re = pattern(R"((?<!\*)\*([^\*\s][^\*]*?[^\*\s]|\S)\*(?!\*))");
  return re;
}
const QRegularExpression& codePattern() {
  static const QRegularExpression re = pattern(R"(`([^`]+)`)");
  return re;
}

QTextCharFormat linkFormat(QTextCharFormat format, const QUrl& url) {
  format.setForeground(Palette::neonCyan);
  format.setFontUnderline(true);
  format.setAnchor(true);
  format.setAnchorHref(url.toString(QUrl::FullyEncoded));
  return format;
}

QTextCharFormat boldFormat(QTextCharFormat format) {
  format.setFont(MarkdownFormats::systemFont(MarkdownFormats::fontSize(format), true),
                 QTextCharFormat::FontPropertiesAll);
  return format;
}

QTextCharFormat italicFormat(QTextCharFormat format) {
  format.setForeground(Palette::cyberTextSecondary);
  format.setFontItalic(true);
  return format;
}

QTextCharFormat codeFormat() {
  QTextCharFormat format;
  format.setFont(MarkdownFormats::monospacedFont());
  format.setForeground(Palette::neonLime);
  format.setBackground(Palette::withOpacity(Palette::black, 0.3));
  return format;
}

// Where the scan may go on after no pattern matched anywhere in `rest`.
//
// The only pattern that looks behind its match is the italic one, which must
// not follow an asterisk. Any other match in a shorter rest would have matched
// in `rest` already, so a new match can only begin where the rest starts with
// an asterisk that followed an asterisk: the scan jumps there, or to the end.
qsizetype resumeAfterNoMatch(QStringView rest) {
  for (qsizetype k = 1; k < rest.size(); ++k) {
    if (rest[k] == u'*' && rest[k - 1] == u'*') return k;
  }
  return rest.size();
}

void insert(QTextCursor& cursor, QStringView text, const QTextCharFormat& format) {
  if (!text.isEmpty()) cursor.insertText(text.toString(), format);
}

}  // namespace

void renderInline(QTextCursor& cursor, QStringView text, const QTextCharFormat& attributes) {
  // A carriage return before the line feed (CRLF text) only ends the line; left
  // in, it would start another paragraph.
  QStringView rest = text.endsWith(u'\r') ? text.chopped(1) : text;
  while (!rest.isEmpty()) {
    // Each search sees only the rest: a look-behind never reaches text already rendered.
    if (const QRegularExpressionMatch link = linkPattern().match(rest); link.hasMatch()) {
      insert(cursor, rest.left(link.capturedStart(0)), attributes);
      const QUrl url(link.captured(2), QUrl::StrictMode);
      insert(cursor, link.capturedView(1), url.isValid() ? linkFormat(attributes, url) : attributes);
      rest = rest.mid(link.capturedEnd(0));
    } else if (const QRegularExpressionMatch bold = boldPattern().match(rest); bold.hasMatch()) {
      insert(cursor, rest.left(bold.capturedStart(0)), attributes);
      insert(cursor, bold.capturedView(1), boldFormat(attributes));
      rest = rest.mid(bold.capturedEnd(0));
    } else if (const QRegularExpressionMatch italic = italicPattern().match(rest); italic.hasMatch()) {
      insert(cursor, rest.left(italic.capturedStart(0)), attributes);
      insert(cursor, italic.capturedView(1), italicFormat(attributes));
      rest = rest.mid(italic.capturedEnd(0));
    } else if (const QRegularExpressionMatch code = codePattern().match(rest); code.hasMatch()) {
      insert(cursor, rest.left(code.capturedStart(0)), attributes);
      insert(cursor, code.capturedView(1), codeFormat());
      rest = rest.mid(code.capturedEnd(0));
    } else {
      const qsizetype resume = resumeAfterNoMatch(rest);
      insert(cursor, rest.left(resume), attributes);
      rest = rest.mid(resume);
    }
  }
}
