#pragma once

#include "pipeline/recognitionstatus.h"

#include <QColor>
#include <QString>

// How a history card names and colours a request: the operation's symbol and
// label, and the status's symbol, word and colour (the card's border and its
// badge), in the current interface language.
namespace HistoryCardLook {

QColor statusColor(RecognitionStatus status);
QString statusSymbol(RecognitionStatus status);
QString statusText(RecognitionStatus status);

// "transcribe", "rewrite" and "agent" have their own; any other operation
// is shown as it is, with the waveform.
QString operationSymbol(const QString& operation);
QString operationLabel(const QString& operation);

// The caption of a search result, the same in every language.
inline const QString searchResultCaption = QStringLiteral("搜索结果 · 点击展开查看");
// The button that shows a search result in the floating panel again.
inline const QString floatingWindowTitle = QStringLiteral("在浮窗中查看");

}  // namespace HistoryCardLook
