#pragma once

#include <QByteArray>
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

// The program's symbol images ("mic.fill", "waveform", "xmark", ...): one set
// of SVG drawings embedded as resources, looked up by name and tinted at run
// time with any colour.
//
// Sizes follow the views' habit of giving a symbol a font size: a symbol "at
// 14" is drawn in a square of boxSide(14) whose drawing is about 14 pixels
// tall, like a symbol set in a 14-pixel font.
class SymbolImage {
 public:
  // Whether the set has a symbol of that name.
  static bool exists(const QString& name);
  // Whether "<name>.fill" exists: the filled form a selected item shows.
  static bool hasFillVariant(const QString& name);
  // "<name>.fill" when it exists, else `name` itself.
  static QString filledOrSelf(const QString& name);
  // Every symbol of the set, sorted.
  static QStringList names();

  static qreal boxSide(qreal pointSize);

  // The symbol tinted with `color` in a square of boxSide(pointSize) logical
  // pixels, rendered for `devicePixelRatio`. A name the set lacks gives a null
  // pixmap (and a warning), never someone else's drawing.
  static QPixmap pixmap(const QString& name, qreal pointSize, const QColor& color, qreal devicePixelRatio = 1);

  // The symbol's drawing itself (SVG, in no colour of its own); empty for a
  // name the set lacks.
  static QByteArray drawing(const QString& name);

  // An icon for menus and buttons that renders sharp at any size.
  static QIcon icon(const QString& name, const QColor& color);

  // Draws the symbol centred in `box` (the largest square that fits), tinted.
  static void paint(QPainter& painter, const QRectF& box, const QString& name, const QColor& color);

 private:
  static QPixmap tinted(const QString& name, qreal side, const QColor& color, qreal devicePixelRatio);
};
