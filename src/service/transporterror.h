#pragma once

#include <QNetworkReply>
#include <QString>

#include <exception>
#include <string>

// A request that got no answer from the service: the URL could not be used,
// the connection failed or broke, TLS failed, nothing arrived within the
// time-out, or the transfer was cancelled. Thrown by the service client as it
// is, never wrapped in APIError: callers show its description.
class TransportError : public std::exception {
 public:
  enum class Kind {
    badURL,                  // the URL text is not an absolute URL; nothing was sent
    timedOut,                // no progress within the request's time-out
    cancelled,
    cannotConnect,           // refused, unreachable
    cannotFindHost,
    connectionLost,          // closed before a whole answer arrived
    secureConnectionFailed,  // TLS
    other,
  };

  TransportError(Kind kind, QString description, QNetworkReply::NetworkError networkError = QNetworkReply::NoError);

  static TransportError badURL(const QString& urlText);
  // From a reply that finished with a transport failure.
  static TransportError fromReply(const QNetworkReply& reply);
  static TransportError timeout();

  Kind kind() const { return kind_; }
  // Qt's code for the failure; NoError for badURL and timedOut.
  QNetworkReply::NetworkError networkError() const { return networkError_; }
  // The text shown to the user (the network stack's wording).
  QString localizedDescription() const { return description_; }

  const char* what() const noexcept override { return what_.c_str(); }

 private:
  Kind kind_;
  QString description_;
  QNetworkReply::NetworkError networkError_;
  std::string what_;
};
