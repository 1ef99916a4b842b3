#pragma once

#include "pipeline/savedpasteboard.h"
#include "platform/frontapplication.h"

#include <QCoroTask>
#include <QObject>
#include <QString>

#include <optional>

// Lends the PRIMARY selection to a paste into a terminal of the xterm kind,
// which pastes PRIMARY, not the clipboard. The user's own PRIMARY (what they
// highlighted last, which a middle click pastes) is put back once the
// terminal has read the text, or after a second when it never asks; unless
// the user highlighted something new meanwhile, which stays. Pastes that
// follow one another before that keep the user's selection from before the
// first.
//
// Only the terminal's own read ends the loan: others read PRIMARY whenever it
// changes hands (fcitx5 keeps a history of it), within milliseconds, while
// the paste key still travels through the input method to the terminal.
//
// Main thread only.
class PrimarySelectionLoan : public QObject {
  Q_OBJECT

 public:
  explicit PrimarySelectionLoan(QObject* parent = nullptr);

  // Puts `text` on PRIMARY for `reader` (without one, for whoever reads it
  // first), the user's selection kept aside.
  void lend(const QString& text, std::optional<RunningApplication> reader = std::nullopt);
  // After the paste keys went out (`pasted`): puts the user's selection back
  // when the text has been read; at once when no keys went out.
  void giveBack(bool pasted);

 private:
  QCoro::Task<void> giveBackWhenRead(int loan, std::optional<RunningApplication> reader, qint64 readsBefore);
  void putBack(int loan);
  static qint64 readsSoFar(const std::optional<RunningApplication>& reader);

  std::optional<SavedPasteboard> usersSelection_;
  int loan_ = 0;  // numbers the loans: only the latest one puts back
  qint64 lentChangeCount_ = 0;
  std::optional<RunningApplication> reader_;
  qint64 readsWhenLent_ = 0;
};
