#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>

// An HTTP proxy on 127.0.0.1, served by the test's own event loop. It keeps
// the head of every request and grants CONNECT unless told otherwise; a tunnel
// leads back to the stand-in, which then plays the origin (with TLS when the
// CONNECT names port 443, see trustOrigin()) and answers `originAnswer`.
class ProxyStandIn : public QTcpServer {
  Q_OBJECT

 public:
  ProxyStandIn() { listen(QHostAddress::LocalHost); }

  // "http://127.0.0.1:<port>", or with "user:password@" before the address.
  QByteArray url(const QByteArray& userInfo = {}) const;

  // Makes a certificate for `host` that every TLS connection of this process
  // trusts. False when the openssl command could not make one.
  static bool trustOrigin(const QString& host);

  bool refusesConnect = false;  // "403 Forbidden" to every CONNECT
  QByteArray requiredCredentials;  // "user:password"; without them, "407"
  QByteArray originAnswer = "{}";  // the JSON body the origin answers
  QList<QByteArray> proxyRequests;
  QList<QByteArray> tunnelledRequests;

 protected:
  void incomingConnection(qintptr descriptor) override;
};
