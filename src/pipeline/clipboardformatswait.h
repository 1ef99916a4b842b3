#pragma once

#include "platform/frontapplication.h"

#include <QCoroTask>
#include <QSet>

#include <memory>

// The wait before a paste key for the question some programs ask the
// clipboard's new owner whenever the clipboard changes hands: which formats
// it offers. GNOME Terminal and MATE Terminal paste only what the last answer
// they got allowed. The question reaches us within a millisecond or two of the
// change, but we answer it from the event loop: a key typed at once would come
// first, and find the formats of the clipboard's previous owner, or none
// (GNOME Terminal forgets them at every change; MATE Terminal keeps the last
// ones it got, and has none while it has never seen text on the clipboard).
// The paste is then lost without a word.
//
// So the key waits until the program in front has asked and been answered,
// known by what it does rather than by its name:
// - a program that asked before the key at its last paste is waited for up to
//   a second (busy, it asks late, but it asks);
// - any other, seen or not, up to 60 ms: an idle program asks within a few
//   milliseconds, so one that asks is learnt at its first paste, and one that
//   never asks pays that much per paste.
// Programs are told apart by their process.
//
// Main thread only.
class ClipboardFormatsWait {
 public:
  // How often `app` has asked for the clipboard's formats so far: noted
  // before the clipboard changes hands for a paste.
  static qint64 askedSoFar(const RunningApplication& app);

  // Waits, with the event loop running, until `app` has asked more often than
  // `askedBefore`, or its time is up (see above), and notes whether it asked.
  // True when it did.
  QCoro::Task<bool> untilAsked(RunningApplication app, qint64 askedBefore);

 private:
  // The processes that asked before the key at their last paste. Shared with
  // waits that may outlive this object.
  std::shared_ptr<QSet<qint32>> asking_ = std::make_shared<QSet<qint32>>();
};
