#include "pipeline/clipboardcopy.h"

#include "pipeline/commandkeys.h"
#include "pipeline/savedpasteboard.h"
#include "platform/pasteboard.h"

#include <QCoreApplication>
#include <QThread>

#include <chrono>

using namespace std::chrono_literals;

namespace {

constexpr auto copyDeadline = 300ms;
constexpr auto copyPollInterval = 20ms;

}  // namespace

ClipboardCopy ClipboardCopy::take(const RunningApplication& app, const KeyChord& chord, bool watchPrimary) {
  Pasteboard& pasteboard = Pasteboard::current();
  Pasteboard& primary = Pasteboard::primarySelection();
  const qint64 changeCount = pasteboard.changeCount();
  const qint64 primaryChangeCount = watchPrimary ? primary.changeCount() : 0;
  const SavedPasteboard saved = SavedPasteboard::save();

  ClipboardCopy copy;
  bool changed = false;
  // Keys typed into this program itself would queue behind this very wait:
  // nothing would be copied in time, and the focused widget (a list copies its
  // current row) would put its text on the user's clipboard afterwards. Our own
  // text fields are read without any keys.
  const bool intoThisProcess = app.pid == qint32(QCoreApplication::applicationPid());
  // Keys that were not typed (the application lost the focus meanwhile) cannot
  // change the clipboard: no point in waiting.
  if (!intoThisProcess && postChord(chord, app.pid)) {
    const auto deadline = std::chrono::steady_clock::now() + copyDeadline;
    while (std::chrono::steady_clock::now() < deadline) {
      QThread::msleep(static_cast<unsigned long>(copyPollInterval.count()));
      if (!changed && pasteboard.changeCount() != changeCount) {
        changed = true;
        copy.text = pasteboard.string();
      }
      copy.primaryTaken = watchPrimary && primary.changeCount() != primaryChangeCount;
      if (changed && (!watchPrimary || copy.primaryTaken)) break;
    }
  }
  if (changed || pasteboard.changeCount() != changeCount) saved.restore();
  return copy;
}
