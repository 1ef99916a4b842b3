#include "pipeline/primaryselectionloan.h"

#include "core/clock.h"
#include "core/tracelog.h"

#include <QCoroTimer>
#include <QPointer>

#include <chrono>

using namespace std::chrono_literals;

namespace {

// A terminal asks for the text at once when it takes the paste key: xterm
// asked 10 to 68 ms after it with its keys going through fcitx5's XIM (34
// pastes), 208 ms once on a busy machine without an input method. One that
// has not asked within a second never will.
constexpr auto kReadTimeout = 1000ms;
constexpr auto kReadPoll = 10ms;

}  // namespace

PrimarySelectionLoan::PrimarySelectionLoan(QObject* parent) : QObject(parent) {}

qint64 PrimarySelectionLoan::readsSoFar(const std::optional<RunningApplication>& reader) {
  Pasteboard& primary = Pasteboard::primarySelection();
  return reader ? primary.timesReadBy(*reader) : primary.timesRead();
}

void PrimarySelectionLoan::lend(const QString& text, std::optional<RunningApplication> reader) {
  if (!usersSelection_) usersSelection_ = SavedPasteboard::save(&Pasteboard::primarySelection);
  ++loan_;
  Pasteboard& primary = Pasteboard::primarySelection();
  primary.clearContents();
  primary.setString(text);
  lentChangeCount_ = primary.changeCount();
  reader_ = std::move(reader);
  readsWhenLent_ = readsSoFar(reader_);
}

void PrimarySelectionLoan::giveBack(bool pasted) {
  if (!pasted) {
    putBack(loan_);
    return;
  }
  giveBackWhenRead(loan_, reader_, readsWhenLent_);
}

QCoro::Task<void> PrimarySelectionLoan::giveBackWhenRead(int loan, std::optional<RunningApplication> reader,
                                                         qint64 readsBefore) {
  const QPointer<PrimarySelectionLoan> self(this);
  const auto start = std::chrono::steady_clock::now();
  const auto deadline = start + Clock::scaled(kReadTimeout);
  // Polled from the event loop: by the time a read is counted here, the
  // request has been answered.
  bool read = false;
  while (!(read = readsSoFar(reader) != readsBefore) && std::chrono::steady_clock::now() < deadline) {
    co_await QCoro::sleepFor(kReadPoll);
    if (!self) co_return;
  }
  const QString name = reader ? reader->localizedName : QStringLiteral("nil");
  const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  trace(read ? QStringLiteral("paste: %1 read PRIMARY within %2 ms").arg(name).arg(waited.count())
             : QStringLiteral("paste: %1 did not read PRIMARY within %2 ms").arg(name).arg(waited.count()));
  putBack(loan);
}

void PrimarySelectionLoan::putBack(int loan) {
  if (loan != loan_ || !usersSelection_) return;
  if (Pasteboard::primarySelection().changeCount() == lentChangeCount_) usersSelection_->restore();
  usersSelection_.reset();
}
