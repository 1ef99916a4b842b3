#pragma once

#include <QString>

#include <exception>
#include <string>

class HttpFailure;

// A request that got no answer from the service: the URL could not be used,
// the connection (or the proxy on its way) failed or broke, TLS failed, nothing arrived within the
// time-out, the service sent it to another origin, or the transfer was
// cancelled. Thrown by the service client as it is, never wrapped in
// APIError: callers show its description.
class TransportError : public std::exception {
 public:
  enum class Kind {
    badURL,                  // the URL text is not an absolute URL; nothing was sent
    insecureOrigin,          // the configured service origin is plain http on another machine; nothing was sent
    timedOut,                // no progress within the request's time-out
    cancelled,
    cannotConnect,           // refused, unreachable
    cannotFindHost,
    proxyRefused,            // the proxy refused the connection or asks for credentials
    connectionLost,          // closed before a whole answer arrived
    secureConnectionFailed,  // TLS
    redirectRefused,         // redirected to another origin, which the request was not sent to
    other,
  };

  TransportError(Kind kind, QString detail);

  static TransportError badURL(const QString& urlText);
  static TransportError insecureOrigin(const QString& origin);
  static TransportError from(const HttpFailure& failure);
  static TransportError timeout();

  Kind kind() const { return kind_; }
  // What happened, in the network stack's English (for logs).
  QString detail() const { return detail_; }
  // The text shown to the user, in the interface language current at this
  // call (so a stored error reads in the new language after a switch).
  QString localizedDescription() const;

  const char* what() const noexcept override { return what_.c_str(); }

 private:
  Kind kind_;
  QString detail_;
  std::string what_;
};
