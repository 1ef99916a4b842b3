#include "onboarding/themedtextarea.h"

#include "theme/fonts.h"
#include "theme/palette.h"

#include <QAbstractScrollArea>

void styleTextArea(QAbstractScrollArea* area, const QColor& accent) {
  area->setFont(rajdhaniMedium(14));
  area->setFrameShape(QFrame::NoFrame);
  area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  area->setAutoFillBackground(false);
  area->viewport()->setAutoFillBackground(false);
  QPalette colours = area->palette();
  colours.setColor(QPalette::Base, Palette::clear);
  colours.setColor(QPalette::Text, Palette::cyberTextPrimary);
  colours.setColor(QPalette::Highlight, Palette::withOpacity(accent, 0.35));
  colours.setColor(QPalette::HighlightedText, Palette::cyberTextPrimary);
  area->setPalette(colours);
}
