#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

// Plain labels of the onboarding pages: one theme font, one palette colour,
// and optionally extra space between wrapped lines. Texts are set by the
// pages at every change of language.
namespace ThemedLabel {

QLabel* make(const QFont& font, const QColor& color, QWidget* parent = nullptr);
void setColor(QLabel* label, const QColor& color);

// Wrapped text with `extraSpacing` logical pixels between its lines, aligned
// as `alignment` says on every line.
void setSpacedText(QLabel* label, const QString& text, qreal extraSpacing, Qt::Alignment alignment);

}  // namespace ThemedLabel
