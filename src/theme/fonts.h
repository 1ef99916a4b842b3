#pragma once

#include <QFont>
#include <QString>

// The theme's two type families: Rajdhani for all running text, labels,
// buttons and fields; Orbitron for display titles, panel and card headings and
// large numbers. Sizes are logical pixels.
//
// A weight only chooses among the shipped faces; weights compare by value:
//   Rajdhani: Bold, ExtraBold ("heavy") or Black -> "Rajdhani-Bold";
//             DemiBold ("semibold") -> "Rajdhani-SemiBold";
//             anything else (Medium, Thin, ...) -> "Rajdhani-Medium".
//   Orbitron: Black or ExtraBold ("heavy") -> "Orbitron-Black";
//             anything else -> "Orbitron-Bold".
//
// Scripts these faces lack (Chinese, Korean, Cyrillic, symbols, emoji) come
// from the fallback fonts of FontBook, ordered for the interface language that
// FontBook::shared().language() holds; see fontbook.h.

QString rajdhaniFaceName(QFont::Weight weight);
QString orbitronFaceName(QFont::Weight weight);

QFont rajdhaniFont(qreal size, QFont::Weight weight);
QFont rajdhaniMedium(qreal size);
QFont rajdhaniSemiBold(qreal size);
QFont rajdhaniBold(qreal size);

QFont orbitronFont(qreal size, QFont::Weight weight);
