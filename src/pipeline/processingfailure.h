#pragma once

#include <QString>

#include <exception>
#include <optional>

// How a failed upload of a recording ends, worked out from what the service
// client threw: the account rejected (sign out), the credits used up (a tip),
// a recording that was too long (an alert), or any other failure (no tip: the
// text goes into the history and the latest result, where the user reads it).
//
// The message is read in the interface language of the moment of failure.
struct ProcessingFailure {
  enum class Kind {
    signOut,           // unauthorized or a banned user
    creditsExhausted,  // "CREDITS_EXHAUSTED"
    serviceError,      // any other answer of the service (durationExceeded says whether too long)
    noAnswer,          // no answer at all, or anything else that went wrong
  };

  Kind kind = Kind::noAnswer;
  QString message;
  bool retryable = true;
  // "DURATION_EXCEEDED": the user is told in an alert and a retry is pointless.
  bool durationExceeded = false;
  // A new longest recording that came with the error body.
  std::optional<qint64> maxDurationSec;

  static ProcessingFailure from(const std::exception& error);
};
