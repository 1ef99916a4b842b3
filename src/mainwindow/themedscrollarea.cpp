#include "mainwindow/themedscrollarea.h"

#include "mainwindow/stylesheetcolor.h"
#include "theme/palette.h"

#include <QScrollBar>

ThemedScrollArea::ThemedScrollArea(QWidget* parent) : QScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  auto* inside = new QWidget;
  setWidget(inside);
  // setWidget() turns the content's background filling on: turn it off after.
  setAutoFillBackground(false);
  viewport()->setAutoFillBackground(false);
  inside->setAutoFillBackground(false);
  // The scroll bar keeps to the palette: a thin cyan thumb on a clear track.
  verticalScrollBar()->setStyleSheet(
      QStringLiteral("QScrollBar:vertical { background: transparent; width: 8px; margin: 2px 1px 2px 1px; }"
                     "QScrollBar::handle:vertical { background: %1; border-radius: 3px; min-height: 24px; }"
                     "QScrollBar::handle:vertical:hover { background: %2; }"
                     "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                     "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }")
          .arg(styleSheetColor(Palette::withOpacity(Palette::neonCyan, 0.25)),
               styleSheetColor(Palette::withOpacity(Palette::neonCyan, 0.45))));
}
