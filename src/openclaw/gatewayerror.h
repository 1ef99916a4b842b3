#pragma once

#include <QString>

#include <exception>
#include <string>

// A failure of a gateway request, with the text the result panel shows:
//  - httpError: the gateway answered with a status other than 200;
//    "HTTP <status>: <body>", the body's lines joined without separator;
//  - transport: no answer (refused, lost, timed out); the network stack's
//    description;
//  - streamError: the gateway answered, but its stream reported that the
//    model or its provider failed; the message it gave.
class GatewayError : public std::exception {
 public:
  enum class Kind { httpError, transport, streamError };

  static GatewayError httpError(int statusCode, QString body);
  static GatewayError transport(QString description);
  static GatewayError streamError(QString message);

  Kind kind() const { return kind_; }
  int statusCode() const { return statusCode_; }  // 0 unless httpError
  QString body() const { return body_; }
  QString localizedDescription() const { return description_; }

  const char* what() const noexcept override { return what_.c_str(); }

 private:
  GatewayError(Kind kind, int statusCode, QString body, QString description);

  Kind kind_;
  int statusCode_;
  QString body_;
  QString description_;
  std::string what_;
};
