#include "core/charactercount.h"

#include <QTextBoundaryFinder>

qsizetype characterCount(const QString& text) {
  if (text.isEmpty()) return 0;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  qsizetype count = 0;
  while (finder.toNextBoundary() != -1) ++count;
  return count;
}
