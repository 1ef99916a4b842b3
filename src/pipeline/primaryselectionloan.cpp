#include "pipeline/primaryselectionloan.h"

#include "core/clock.h"

#include <QCoroTimer>
#include <QPointer>

#include <chrono>

using namespace std::chrono_literals;

namespace {

// A terminal asks for the text at once when it takes the paste key; one that
// has not asked by then never will.
constexpr auto kReadTimeout = 1000ms;
constexpr auto kReadPoll = 10ms;

}  // namespace

PrimarySelectionLoan::PrimarySelectionLoan(QObject* parent) : QObject(parent) {}

void PrimarySelectionLoan::lend(const QString& text) {
  if (!usersSelection_) usersSelection_ = SavedPasteboard::save(&Pasteboard::primarySelection);
  ++loan_;
  Pasteboard& primary = Pasteboard::primarySelection();
  primary.clearContents();
  primary.setString(text);
  lentChangeCount_ = primary.changeCount();
  readsWhenLent_ = primary.timesRead();
}

void PrimarySelectionLoan::giveBack(bool pasted) {
  if (!pasted) {
    putBack(loan_);
    return;
  }
  giveBackWhenRead(loan_, readsWhenLent_);
}

QCoro::Task<void> PrimarySelectionLoan::giveBackWhenRead(int loan, qint64 readsBefore) {
  const QPointer<PrimarySelectionLoan> self(this);
  const auto deadline = std::chrono::steady_clock::now() + Clock::scaled(kReadTimeout);
  // Polled from the event loop: by the time a read is counted here, the
  // request has been answered.
  while (Pasteboard::primarySelection().timesRead() == readsBefore && std::chrono::steady_clock::now() < deadline) {
    co_await QCoro::sleepFor(kReadPoll);
    if (!self) co_return;
  }
  putBack(loan);
}

void PrimarySelectionLoan::putBack(int loan) {
  if (loan != loan_ || !usersSelection_) return;
  if (Pasteboard::primarySelection().changeCount() == lentChangeCount_) usersSelection_->restore();
  usersSelection_.reset();
}
