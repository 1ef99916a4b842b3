#include "mainwindow/leadingcharacters.h"

#include <QTextBoundaryFinder>

QString leadingCharacters(const QString& text, qsizetype count) {
  if (count <= 0) return QString();
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  qsizetype end = 0;
  for (qsizetype taken = 0; taken < count; ++taken) {
    const qsizetype next = finder.toNextBoundary();
    if (next == -1) return text;
    end = next;
  }
  return text.left(end);
}
