#include "pipeline/selectioneraser.h"

#include "core/charactercount.h"
#include "core/tracelog.h"
#include "pipeline/clipboardcopy.h"
#include "pipeline/commandkeys.h"
#include "platform/pasteboard.h"

#include <QThread>

#include <chrono>

using namespace std::chrono_literals;

namespace {

constexpr auto kCutDeadline = 300ms;
constexpr auto kCutPoll = 20ms;

// Types the cut key into `app`, which owns PRIMARY, and waits up to 0.3 s for
// it to give PRIMARY up. True when it did.
bool cutGivesUpPrimary(const RunningApplication& app) {
  Pasteboard& primary = Pasteboard::primarySelection();
  const qint64 changeCount = primary.changeCount();
  if (!postChord(KeyChord::shiftDelete(), app.pid)) return false;
  const auto deadline = std::chrono::steady_clock::now() + kCutDeadline;
  while (std::chrono::steady_clock::now() < deadline) {
    QThread::msleep(static_cast<unsigned long>(kCutPoll.count()));
    if (primary.changeCount() != changeCount) return !primary.isOwnedBy(app);
  }
  return false;
}

}  // namespace

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
  const QString cutFailed = QStringLiteral("the cut in ") + app.localizedName +
                            QStringLiteral(" did not take the selected text");
  if (isXawText(app)) {
    if (!cutGivesUpPrimary(app)) return kept(cutFailed);
  } else {
    const std::optional<KeyChord> copyKey = commandChord(KeyChord::Key::c, app);
    if (!copyKey || ClipboardCopy::take(app, *copyKey).text != captured) {
      return kept(QStringLiteral("the copy in ") + app.localizedName + QStringLiteral(" finds other text"));
    }
    if (ClipboardCopy::take(app, KeyChord::shiftDelete()).text != captured) return kept(cutFailed);
  }
  trace(QStringLiteral("Selection cut before the paste: app=") + app.localizedName + QStringLiteral(", textLen=") +
        QString::number(characterCount(captured)));
  return true;
}

}  // namespace SelectionEraser
