#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTcpServer>

// An HTTP proxy on 127.0.0.1, served by the test's own event loop (it runs
// while the client is awaited). It keeps the head of every request it gets
// and answers CONNECT as told. A tunnel it grants leads back to the stand-in,
// which then plays the origin: with TLS when the CONNECT names port 443 (the
// certificate of trustOrigin()), else in plain HTTP, it keeps the request
// that came through and answers it with a JSON body.
class ProxyStandIn : public QTcpServer {
  Q_OBJECT

 public:
  enum class Reply {
    tunnel,  // "200 Connection established"
    refuse,  // "403 Forbidden"
  };
  explicit ProxyStandIn(Reply reply = Reply::tunnel);

  // "http://127.0.0.1:<port>", or with "user:password@" before the address.
  QByteArray url(const QByteArray& userInfo = {}) const;

  // A CONNECT without "Proxy-Authorization: Basic" of these ("user:password")
  // gets "407 Proxy Authentication Required".
  void requireCredentials(const QByteArray& userColonPassword) { credentials_ = userColonPassword; }
  void setOriginAnswer(const QByteArray& json) { originAnswer_ = json; }

  // Heads of the requests made to the proxy, in order of arrival.
  QList<QByteArray> proxyRequests() const { return proxyRequests_; }
  // Heads of the requests that came through a tunnel.
  QList<QByteArray> tunnelledRequests() const { return tunnelledRequests_; }

  // Makes a certificate for `host` and has every TLS connection of this
  // process trust it; the stand-in's tunnels to port 443 present it. False
  // when no certificate could be made (the openssl command is missing).
  static bool trustOrigin(const QString& host);

 protected:
  void incomingConnection(qintptr descriptor) override;

 private:
  friend class ProxiedConnection;

  Reply reply_;
  QByteArray credentials_;
  QByteArray originAnswer_ = "{}";
  QList<QByteArray> proxyRequests_;
  QList<QByteArray> tunnelledRequests_;
};
