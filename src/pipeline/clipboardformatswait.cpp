#include "pipeline/clipboardformatswait.h"

#include "core/clock.h"
#include "core/tracelog.h"
#include "platform/pasteboard.h"

#include <QCoroTimer>

#include <chrono>

using namespace std::chrono_literals;

namespace {

// Measured: an idle terminal asks 0.1 to 4 ms after the change, a busy one
// once took 35 ms.
constexpr auto kUntilUnknownAsks = 50ms;  // with the last look and the key, within 60 ms
constexpr auto kUntilKnownAsks = 1000ms;
constexpr auto kPoll = 2ms;

}  // namespace

qint64 ClipboardFormatsWait::askedSoFar(const RunningApplication& app) {
  return Pasteboard::current().formatsAskedBy(app);
}

QCoro::Task<bool> ClipboardFormatsWait::untilAsked(RunningApplication app, qint64 askedBefore) {
  const std::shared_ptr<QSet<qint32>> asking = asking_;
  const bool known = asking->contains(app.pid);
  const auto deadline = std::chrono::steady_clock::now() + Clock::scaled(known ? kUntilKnownAsks : kUntilUnknownAsks);
  // Each look is made after the event loop has run, so a question counted has
  // been answered; the last look comes after the deadline.
  bool asked = askedSoFar(app) != askedBefore;
  while (!asked) {
    const bool last = std::chrono::steady_clock::now() >= deadline;
    co_await QCoro::sleepFor(kPoll);
    asked = askedSoFar(app) != askedBefore;
    if (last) break;
  }
  if (asked) {
    asking->insert(app.pid);
    trace(QStringLiteral("paste: ") + app.localizedName + QStringLiteral(" has the clipboard's formats"));
  } else if (known) {
    // Busy past a second, or no longer one that asks: waited for no longer
    // than an unknown program from now on.
    asking->remove(app.pid);
    trace(QStringLiteral("paste: ") + app.localizedName +
          QStringLiteral(" did not ask for the clipboard's formats in time"));
  } else {
    trace(QStringLiteral("paste: ") + app.localizedName + QStringLiteral(" asks for no clipboard formats at a change"));
  }
  co_return asked;
}
