#include "mainwindow/pagescrollarea.h"

#include "theme/palette.h"

#include <QScrollBar>

using namespace Palette;

PageScrollArea::PageScrollArea(QWidget* content, QWidget* parent) : QScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setWidget(content);
  // setWidget() makes the content fill its background: undo that, after it.
  viewport()->setAutoFillBackground(false);
  content->setAutoFillBackground(false);
  const QString handle = withOpacity(cyberTextTertiary, 0.6).name(QColor::HexArgb);
  verticalScrollBar()->setStyleSheet(
      QStringLiteral("QScrollBar:vertical { width: 8px; background: transparent; margin: 2px; }"
                     "QScrollBar::handle:vertical { background: %1; border-radius: 2px; min-height: 24px; }"
                     "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                     "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }")
          .arg(handle));
}
