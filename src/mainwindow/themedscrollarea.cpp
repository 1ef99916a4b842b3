#include "mainwindow/themedscrollarea.h"

#include "theme/thinscrollbar.h"

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
  ThinScrollBar().apply(*verticalScrollBar());
}
