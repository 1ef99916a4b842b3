#include "pipeline/highlightedselection.h"

#include "core/charactercount.h"
#include "core/tracelog.h"
#include "platform/pasteboard.h"
#include "platform/primaryhighlightwatch.h"

std::optional<QString> highlightedSelection(const RunningApplication& app) {
  Pasteboard& primary = Pasteboard::primarySelection();
  if (!primary.isOwnedBy(app)) return std::nullopt;
  const QString name = app.localizedName.isEmpty() ? QStringLiteral("nil") : app.localizedName;
  if (!PrimaryHighlightWatch::current().isShown(app)) {
    trace(QStringLiteral("CmdC-Fallback: the highlight of ") + name +
          QStringLiteral(" was cleared by a click, nothing selected"));
    return std::nullopt;
  }
  std::optional<QString> text = primary.plainText(0);
  trace(QStringLiteral("CmdC-Fallback: read the highlighted text of ") + name +
        QStringLiteral(" from PRIMARY, no key sent, textLen=") + QString::number(characterCount(text.value_or(QString()))));
  return text;
}
