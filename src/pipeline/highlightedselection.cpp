#include "pipeline/highlightedselection.h"

#include "core/charactercount.h"
#include "core/tracelog.h"
#include "pipeline/commandkeys.h"
#include "platform/pasteboard.h"
#include "platform/primaryhighlightwatch.h"

namespace {

QString nameOf(const RunningApplication& app) {
  return app.localizedName.isEmpty() ? QStringLiteral("nil") : app.localizedName;
}

}  // namespace

bool showsHighlightedSelection(const RunningApplication& app) {
  if (!Pasteboard::primarySelection().isOwnedBy(app)) return false;
  PrimaryHighlightWatch& watch = PrimaryHighlightWatch::current();
  if (!watch.isShown(app)) {
    trace(QStringLiteral("CmdC-Fallback: the highlight of ") + nameOf(app) +
          QStringLiteral(" was cleared by a click, nothing selected"));
    return false;
  }
  if (!retakesPrimaryWhileSelecting(app)) return true;
  const int keys = watch.keysSinceTaken(app);
  if (keys == 0) return true;
  trace(QStringLiteral("CmdC-Fallback: ") + QString::number(keys) + QStringLiteral(" keys reached ") + nameOf(app) +
        QStringLiteral(" since it took PRIMARY, its selection has ended, nothing selected"));
  return false;
}

std::optional<QString> highlightedSelection(const RunningApplication& app) {
  if (!showsHighlightedSelection(app)) return std::nullopt;
  std::optional<QString> text = Pasteboard::primarySelection().plainText(0);
  trace(QStringLiteral("CmdC-Fallback: read the highlighted text of ") + nameOf(app) +
        QStringLiteral(" from PRIMARY, no key sent, textLen=") + QString::number(characterCount(text.value_or(QString()))));
  return text;
}
