#include "theme/thinscrollbar.h"

#include <QScrollBar>

namespace {

QString rgba(const QColor& color) {
  return QStringLiteral("rgba(%1, %2, %3, %4)")
      .arg(color.red())
      .arg(color.green())
      .arg(color.blue())
      .arg(color.alphaF(), 0, 'f', 3);
}

}  // namespace

QString ThinScrollBar::styleSheet() const {
  return QStringLiteral(
             "QScrollBar:vertical { background: transparent; width: 8px; margin: %1px %2px %3px %4px; }"
             "QScrollBar::handle:vertical { background: %5; border-radius: 3px; min-height: 24px; }"
             "QScrollBar::handle:vertical:hover { background: %6; }"
             "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
             "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }")
      .arg(margins.top())
      .arg(margins.right())
      .arg(margins.bottom())
      .arg(margins.left())
      .arg(rgba(thumb), rgba(hoveredThumb));
}

void ThinScrollBar::apply(QScrollBar& bar) const { bar.setStyleSheet(styleSheet()); }
