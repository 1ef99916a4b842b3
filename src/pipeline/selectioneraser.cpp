#include "pipeline/selectioneraser.h"

#include "core/charactercount.h"
#include "core/tracelog.h"
#include "pipeline/clipboardcopy.h"
#include "pipeline/commandkeys.h"
#include "platform/pasteboard.h"

namespace SelectionEraser {

bool erase(const RunningApplication& app, const QString& captured) {
  const auto kept = [&](const QString& why) {
    trace(QStringLiteral("Selection kept before the paste: ") + why);
    return false;
  };
  Pasteboard& primary = Pasteboard::primarySelection();
  if (!primary.isOwnedBy(app) || primary.string() != captured) {
    return kept(app.localizedName + QStringLiteral(" no longer holds the selected text on PRIMARY"));
  }
  const std::optional<KeyChord> copyKey = commandChord(KeyChord::Key::c, app);
  if (!copyKey || ClipboardCopy::take(app, *copyKey).text != captured) {
    return kept(QStringLiteral("the copy in ") + app.localizedName + QStringLiteral(" finds other text"));
  }
  const std::optional<QString> cut = ClipboardCopy::take(app, KeyChord::shiftDelete()).text;
  if (cut != captured) {
    return kept(QStringLiteral("the cut in ") + app.localizedName + QStringLiteral(" did not take the selected text"));
  }
  trace(QStringLiteral("Selection cut before the paste: app=") + app.localizedName + QStringLiteral(", textLen=") +
        QString::number(characterCount(captured)));
  return true;
}

}  // namespace SelectionEraser
