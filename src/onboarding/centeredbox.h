#pragma once

class QWidget;

// `content` as wide as the space it is given, up to `maxWidth`, centred in
// that space: a block of a column that has a maximum width.
QWidget* centeredBox(QWidget* content, int maxWidth);
