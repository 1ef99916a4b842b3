#pragma once

#include "awaittask.h"
#include "testkeyboard.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPoint>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

// The test desktop's mouse, moved and pressed as a user does: through XTEST,
// by xdotool, like TestKeyboard.
namespace TestPointer {

inline QString number(int value) { return QString::number(value); }

// A click of `button` (1 left, 2 middle) at `at`, on the screen.
inline bool click(const QPoint& at, int button = 1) {
  return TestKeyboard::run({"mousemove", number(at.x()), number(at.y()), "click", number(button)});
}

// A press at `from`, two moves (the first past the drag threshold) and a
// release `by` further.
inline bool drag(const QPoint& from, const QPoint& by) {
  return TestKeyboard::run({"mousemove", number(from.x()), number(from.y()), "mousedown", "1", "sleep", "0.1",
                            "mousemove_relative", "--", number(by.x() / 2), number(by.y() / 2), "sleep", "0.1",
                            "mousemove_relative", "--", number(by.x() - by.x() / 2), number(by.y() - by.y() / 2),
                            "sleep", "0.1", "mouseup", "1"});
}

// Where the words `words` of `text` begin, or end, on the screen.
inline QPoint textPoint(const QTextEdit* text, const QString& words, bool end) {
  const QTextCursor found = text->document()->find(words);
  QTextCursor at(text->document());
  at.setPosition(end ? found.selectionEnd() : found.selectionStart());
  return text->viewport()->mapToGlobal(text->cursorRect(at).center());
}

// The same in the first line of a plain, left-aligned label.
inline QPoint textPoint(const QLabel* label, const QString& words, bool end) {
  const QString line = label->text().section(QLatin1Char('\n'), 0, 0);
  const qsizetype start = line.indexOf(words);
  const QFontMetrics metrics(label->font());
  const int x = metrics.horizontalAdvance(line.left(end ? start + words.size() : start));
  const QRect inside = label->contentsRect();
  return label->mapToGlobal(QPoint(inside.left() + x, inside.top() + metrics.height() / 2));
}

// Selects `words` in `text` by dragging across them from just inside their
// first letter; true once the widget shows them selected.
template <typename Text, typename Selected>
bool dragAcross(const Text* text, const QString& words, Selected selected) {
  const QPoint from = textPoint(text, words, false) + QPoint(1, 0);
  return drag(from, textPoint(text, words, true) - from) && waitUntil([&] { return selected() == words; });
}

}  // namespace TestPointer
