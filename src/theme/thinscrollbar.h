#pragma once

#include "theme/palette.h"

#include <QColor>
#include <QMargins>
#include <QString>

class QScrollBar;

// The themed vertical scroll bar: a thin rounded thumb over a clear track,
// without arrows, lighter while the pointer is over it. Views with a
// scrolling area apply it to their vertical bar.
struct ThinScrollBar {
  QColor thumb = Palette::withOpacity(Palette::neonCyan, 0.3);
  QColor hoveredThumb = Palette::withOpacity(Palette::neonCyan, 0.5);
  // Room around the 8-pixel-wide bar, inside it (left, top, right, bottom).
  QMargins margins = QMargins(0, 2, 2, 2);

  QString styleSheet() const;
  void apply(QScrollBar& bar) const;
};
