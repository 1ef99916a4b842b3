#pragma once

#include "core/deletelater.h"
#include "core/httpconnection.h"

#include <QCoroTask>

// HTTP exchanges of the program: each request goes out once, on a connection
// of its own (HttpConnection), and the redirections a caller allows are
// followed as new requests.
namespace HttpClient {

enum class Redirects {
  // A 3xx answer is the answer.
  never,
  // Followed only within the request's origin (scheme, host and port), with
  // every header of the request; one to another origin fails the exchange
  // (redirectRefused) before anything is sent there. For requests that carry
  // credentials: they never leave the origin they were meant for.
  sameOrigin,
  // Followed to any http or https address except from https to plain http;
  // credential fields (Authorization, Cookie, X-API-Key) are dropped on the
  // way to another origin. For public files.
  anyOriginNoDowngrade,
};

// After 301, 302 and 303 a POST goes on as a GET without its body (and 303
// turns every method but HEAD into GET); 307 and 308 repeat the method and
// body at the new address. At most this many redirections are followed.
constexpr int kMaxRedirects = 10;

// Sends the request and returns its connection once the answer's head has
// arrived (the body may still be on its way). Throws HttpFailure when no
// answer head arrives or a redirection may not be followed.
QCoro::Task<DeleteLaterPtr<HttpConnection>> open(HttpConnection::Request request, Redirects redirects);

struct Answer {
  int status = 0;
  QByteArray body;
  // The body would have been longer than the request's bodyLimit: its
  // reading stopped there, and `body` is empty.
  bool bodyTooLarge = false;
};

// open(), then the whole body. Throws HttpFailure (never tooLarge, which is
// reported through the answer).
QCoro::Task<Answer> fetch(HttpConnection::Request request, Redirects redirects);

// Same scheme, host and port (the scheme's default when none is written).
bool isSameOrigin(const QUrl& a, const QUrl& b);

}  // namespace HttpClient
