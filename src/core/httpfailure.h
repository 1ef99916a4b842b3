#pragma once

#include <QString>

#include <exception>
#include <string>

// Why an HTTP exchange ended without a whole answer. `detail` is the network
// stack's English wording (for logs and error texts of tools); callers that
// talk to the user choose their own text by kind.
class HttpFailure : public std::exception {
 public:
  enum class Kind {
    badURL,                  // not an absolute http or https URL; nothing was sent
    cannotConnect,           // refused, unreachable
    cannotFindHost,
    proxyRefused,            // the proxy refused the connection or asks for credentials
    timedOut,                // nothing moved within the idle time-out
    connectionLost,          // closed before a whole answer arrived
    secureConnectionFailed,  // TLS
    badResponse,             // what arrived is not an HTTP answer
    redirectRefused,         // a redirection that may not be followed
    tooLarge,                // the body is longer than the caller accepts; the rest was not read
    cancelled,
    other,
  };

  HttpFailure(Kind kind, QString detail)
      : kind_(kind), detail_(std::move(detail)), what_("HTTP failure: " + detail_.toStdString()) {}

  Kind kind() const { return kind_; }
  QString detail() const { return detail_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  Kind kind_;
  QString detail_;
  std::string what_;
};
