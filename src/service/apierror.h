#pragma once

#include "service/apierrorresponse.h"

#include <QString>

#include <exception>
#include <optional>
#include <string>

// The one error of the service client for a request that got an answer it
// cannot hand back: an HTTP error status, a success body that does not decode,
// a rejected account. (No answer at all is a TransportError instead.)
//
// The client interprets the HTTP status once; callers only look at the kind:
// `unauthorized` and `userBanned` sign the user out, an `httpError` with a
// response carries the service's code (and perhaps a configuration update).
class APIError : public std::exception {
 public:
  enum class Kind {
    httpError,      // any status outside 2xx but 401 and a banned 403
    decodingError,  // a 2xx whose body is not the expected type
    networkError,   // the answer was not an HTTP answer
    unauthorized,   // 401, whatever the body
    userBanned,     // 403 with the code "USER_BANNED"
  };

  static APIError httpError(qint64 statusCode, QString message, std::optional<APIErrorResponse> response);
  static APIError decodingError(QString underlyingError);
  static APIError networkError(QString underlyingError);
  static APIError unauthorized();
  static APIError userBanned();

  Kind kind() const { return kind_; }
  // httpError only: the status, the body's message (or "Unknown error") and the
  // decoded error body when there was one.
  qint64 statusCode() const { return statusCode_; }
  QString message() const { return message_; }
  const std::optional<APIErrorResponse>& response() const { return response_; }
  // decodingError and networkError: what went wrong underneath, in English.
  QString underlyingError() const { return underlyingError_; }

  // The text for the user, in the interface language current at this call
  // (so a stored error reads in the new language after a switch). The status,
  // the service's own message and underlying errors never enter it.
  QString errorDescription() const;

  // An English summary for logs.
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  APIError(Kind kind, qint64 statusCode, QString message, std::optional<APIErrorResponse> response,
           QString underlyingError);

  Kind kind_;
  qint64 statusCode_ = 0;
  QString message_;
  std::optional<APIErrorResponse> response_;
  QString underlyingError_;
  std::string what_;
};
