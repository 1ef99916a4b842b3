#pragma once

#include <QColor>

class QAbstractScrollArea;

// The text areas of the practice pages: Rajdhani Medium 14 in the primary
// text colour on a clear background, no frame and no scroll bars (they grow
// with their text), the selection tinted with the page's accent.
void styleTextArea(QAbstractScrollArea* area, const QColor& accent);
