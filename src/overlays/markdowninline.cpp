#include "overlays/markdowninline.h"

#include "overlays/markdownformats.h"
#include "theme/palette.h"

#include <QTextCursor>
#include <QUrl>

#include <algorithm>
#include <optional>

// The four kinds of markup are found by hand rather than by regular
// expressions: a search that starts again over the rest of the line at every
// step, and a pattern that tries every opening mark against everything after
// it, make a line of many small spans cost the square of its length. Here each
// kind keeps how far it has ruled the line out, and every test of a candidate
// mark is a few look-ups, so a line costs about its length.
//
// The rules are those of these patterns, searched in this order over the rest
// of the line, each for its leftmost match (a "character" is a code point, so
// a surrogate pair counts as one; "\s" is whitespace as isSpace() has it):
//   link    \[([^\]]+)\]\(([^)]+)\)
//   bold    \*\*([^\*\s][^\*]*?[^\*\s]|\S)\*\*
//   italic  (?<!\*)\*([^\*\s][^\*]*?[^\*\s]|\S)\*(?!\*)
//   code    `([^`]+)`
// Nothing before the rest of the line counts: an asterisk that opens the rest
// is not preceded by one, even when the line has one there.

namespace {

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

// Whitespace of the patterns: the tab, line feed, vertical tab, form feed and
// carriage return, the next line (U+0085), the Mongolian vowel separator
// (U+180E, a space in older Unicode) and every separator (space, line and
// paragraph). No character outside the basic plane is one, so half of a
// surrogate pair never is.
bool isSpace(QChar c) {
  switch (c.category()) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
      return true;
    default:
      return (c.unicode() >= 0x09 && c.unicode() <= 0x0d) || c.unicode() == 0x85 || c.unicode() == 0x180e;
  }
}

// A match: all of it, and the part shown (the label, the inner text); links
// also the address.
struct Match {
  qsizetype start;
  qsizetype end;
  qsizetype innerStart;
  qsizetype innerEnd;
  qsizetype addressStart = 0;
  qsizetype addressEnd = 0;
};

// The next `mark` at or after a position, for a caller whose positions never
// go back: each stretch of the line is searched once.
class MarkFinder {
 public:
  MarkFinder(QStringView line, char16_t mark) : line_(line), mark_(mark) {}

  qsizetype next(qsizetype from) {
    if (found_ < from) {
      found_ = line_.indexOf(QChar(mark_), from);
      if (found_ < 0) found_ = line_.size();
    }
    return found_;
  }

 private:
  QStringView line_;
  char16_t mark_;
  qsizetype found_ = -1;
};

// What the searches share: the line, and the tests on its characters.
class Scan {
 public:
  explicit Scan(QStringView line) : line_(line) {}

  qsizetype size() const { return line_.size(); }
  bool is(qsizetype i, char16_t c) const { return i < line_.size() && line_[i] == c; }
  // The end of the character that begins at i.
  qsizetype characterEnd(qsizetype i) const {
    return line_[i].isHighSurrogate() && i + 1 < line_.size() && line_[i + 1].isLowSurrogate() ? i + 2 : i + 1;
  }
  bool spaceAt(qsizetype i) const { return isSpace(line_[i]); }
  // Whether the character that ends at `end` is whitespace.
  bool spaceBefore(qsizetype end) const { return isSpace(line_[end - 1]); }

  // The inner text of "*inner*" or "**inner**" whose first character is at
  // `first`: either two or more characters without an asterisk that neither
  // begin nor end with whitespace (so they end at the next asterisk), or else
  // one character other than whitespace, an asterisk too. `closes(end)` says
  // whether the closing marks stand at `end`. Gives the end of the inner text.
  template <typename Closes>
  std::optional<qsizetype> inner(qsizetype first, MarkFinder& stars, Closes closes) const {
    if (first >= size() || spaceAt(first)) return std::nullopt;
    const qsizetype firstEnd = characterEnd(first);
    if (line_[first] != u'*') {
      const qsizetype close = stars.next(first);
      if (close > firstEnd && close < size() && !spaceBefore(close) && closes(close)) return close;
    }
    if (closes(firstEnd)) return firstEnd;
    return std::nullopt;
  }

 protected:
  QStringView line_;
};

// Every search below gives the leftmost match that begins at or after `from`
// (the start of the rest of the line), for `from` that never goes back, and
// remembers which candidates it has ruled out.

class LinkSearch : Scan {
 public:
  using Scan::Scan;

  std::optional<Match> leftmost(qsizetype from) {
    for (qsizetype i = opens_.next(std::max(from, next_)); i < size(); i = opens_.next(i + 1)) {
      next_ = i;
      const qsizetype labelEnd = closes_.next(i + 1);
      if (labelEnd == size() || labelEnd == i + 1 || !is(labelEnd + 1, u'(')) continue;
      const qsizetype addressEnd = parens_.next(labelEnd + 2);
      if (addressEnd == size() || addressEnd == labelEnd + 2) continue;
      return Match{i, addressEnd + 1, i + 1, labelEnd, labelEnd + 2, addressEnd};
    }
    next_ = size();
    return std::nullopt;
  }

 private:
  MarkFinder opens_{line_, u'['};
  MarkFinder closes_{line_, u']'};
  MarkFinder parens_{line_, u')'};
  qsizetype next_ = 0;
};

class BoldSearch : Scan {
 public:
  using Scan::Scan;

  std::optional<Match> leftmost(qsizetype from) {
    const auto closes = [this](qsizetype end) { return is(end, u'*') && is(end + 1, u'*'); };
    for (qsizetype i = stars_.next(std::max(from, next_)); i < size(); i = stars_.next(i + 1)) {
      next_ = i;
      if (!is(i + 1, u'*')) continue;
      if (const auto end = inner(i + 2, innerStars_, closes)) return Match{i, *end + 2, i + 2, *end};
    }
    next_ = size();
    return std::nullopt;
  }

 private:
  MarkFinder stars_{line_, u'*'};
  MarkFinder innerStars_{line_, u'*'};
  qsizetype next_ = 0;
};

class ItalicSearch : Scan {
 public:
  using Scan::Scan;

  std::optional<Match> leftmost(qsizetype from) {
    // An asterisk that follows another was ruled out, but when the rest of the
    // line begins with it, nothing precedes it any more.
    if (from > 0 && is(from, u'*') && is(from - 1, u'*')) {
      if (const auto match = at(from, openingStars_)) return match;
    }
    for (qsizetype i = stars_.next(std::max(from, next_)); i < size(); i = stars_.next(i + 1)) {
      next_ = i;
      if (i > from && is(i - 1, u'*')) continue;
      if (const auto match = at(i, innerStars_)) return match;
    }
    next_ = size();
    return std::nullopt;
  }

 private:
  std::optional<Match> at(qsizetype i, MarkFinder& stars) const {
    const auto closes = [this](qsizetype end) { return is(end, u'*') && !is(end + 1, u'*'); };
    if (const auto end = inner(i + 1, stars, closes)) return Match{i, *end + 1, i + 1, *end};
    return std::nullopt;
  }

  MarkFinder stars_{line_, u'*'};
  MarkFinder innerStars_{line_, u'*'};
  MarkFinder openingStars_{line_, u'*'};
  qsizetype next_ = 0;
};

class CodeSearch : Scan {
 public:
  using Scan::Scan;

  std::optional<Match> leftmost(qsizetype from) {
    for (qsizetype i = ticks_.next(std::max(from, next_)); i < size(); i = ticks_.next(i + 1)) {
      next_ = i;
      const qsizetype close = ticks_.next(i + 1);
      if (close < size() && close > i + 1) return Match{i, close + 1, i + 1, close};
    }
    next_ = size();
    return std::nullopt;
  }

 private:
  MarkFinder ticks_{line_, u'`'};
  qsizetype next_ = 0;
};

// Where the scan may go on after no kind matched anywhere in the rest.
//
// Only the italic kind looks before its match, and only at an asterisk: any
// other match in a shorter rest would have been found already, so a new one can
// only begin where the rest starts with an asterisk that followed an asterisk.
// The scan jumps there, or to the end.
qsizetype resumeAfterNoMatch(QStringView line, qsizetype from) {
  const qsizetype pair = line.indexOf(u"**", from);
  return pair < 0 ? line.size() : pair + 1;
}

// The runs of a line, handed to the document in as few inserts as possible:
// text in the same format object as the text before it joins it (the
// document would merge the two runs anyway), so that a line of a thousand
// bold asterisks is one insert rather than a thousand.
class Runs {
 public:
  explicit Runs(QTextCursor& cursor) : cursor_(cursor) {}
  ~Runs() { flush(); }

  // `format` must live until the text is flushed.
  void add(QStringView text, const QTextCharFormat& format) {
    if (text.isEmpty()) return;
    if (&format != format_) flush();
    format_ = &format;
    text_ += text;
  }

  void flush() {
    if (text_.isEmpty()) return;
    cursor_.insertText(text_, *format_);
    text_.truncate(0);
  }

 private:
  QTextCursor& cursor_;
  QString text_;
  const QTextCharFormat* format_ = nullptr;
};

// The formats of the markup over one block's attributes, each made when first used.
class InlineFormats {
 public:
  explicit InlineFormats(const QTextCharFormat& attributes) : attributes_(attributes) {}

  const QTextCharFormat& bold() { return made(bold_, [this] { return boldFormat(attributes_); }); }
  const QTextCharFormat& italic() { return made(italic_, [this] { return italicFormat(attributes_); }); }
  const QTextCharFormat& code() { return made(code_, [] { return codeFormat(); }); }

 private:
  template <typename Make>
  static const QTextCharFormat& made(std::optional<QTextCharFormat>& format, Make make) {
    if (!format) format = make();
    return *format;
  }

  const QTextCharFormat& attributes_;
  std::optional<QTextCharFormat> bold_;
  std::optional<QTextCharFormat> italic_;
  std::optional<QTextCharFormat> code_;
};

}  // namespace

void renderInline(QTextCursor& cursor, QStringView text, const QTextCharFormat& attributes) {
  // A carriage return before the line feed (CRLF text) only ends the line; left
  // in, it would start another paragraph.
  const QStringView line = text.endsWith(u'\r') ? text.chopped(1) : text;
  InlineFormats formats(attributes);
  LinkSearch links(line);
  BoldSearch bolds(line);
  ItalicSearch italics(line);
  CodeSearch codes(line);
  const auto part = [line](qsizetype begin, qsizetype end) { return line.mid(begin, end - begin); };
  Runs runs(cursor);

  qsizetype at = 0;
  while (at < line.size()) {
    std::optional<Match> match;
    if ((match = links.leftmost(at))) {
      runs.add(part(at, match->start), attributes);
      const QUrl url(part(match->addressStart, match->addressEnd).toString(), QUrl::StrictMode);
      const QStringView label = part(match->innerStart, match->innerEnd);
      if (url.isValid()) {
        runs.flush();
        cursor.insertText(label.toString(), linkFormat(attributes, url));
      } else {
        runs.add(label, attributes);
      }
    } else if ((match = bolds.leftmost(at))) {
      runs.add(part(at, match->start), attributes);
      runs.add(part(match->innerStart, match->innerEnd), formats.bold());
    } else if ((match = italics.leftmost(at))) {
      runs.add(part(at, match->start), attributes);
      runs.add(part(match->innerStart, match->innerEnd), formats.italic());
    } else if ((match = codes.leftmost(at))) {
      runs.add(part(at, match->start), attributes);
      runs.add(part(match->innerStart, match->innerEnd), formats.code());
    } else {
      const qsizetype resume = resumeAfterNoMatch(line, at);
      runs.add(part(at, resume), attributes);
      at = resume;
      continue;
    }
    at = match->end;
  }
}
