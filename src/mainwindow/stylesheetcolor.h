#pragma once

#include <QColor>
#include <QString>

// A palette colour written for a Qt style sheet: "rgba(r, g, b, a)".
QString styleSheetColor(const QColor& color);
