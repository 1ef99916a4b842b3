#include "proxystandin.h"

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTemporaryDir>

#include <optional>

namespace {

struct Identity {
  QSslCertificate certificate;
  QSslKey key;
};
std::optional<Identity> origin;  // made by trustOrigin()

void finish(QSslSocket* socket, const QByteArray& answer) {
  socket->write(answer);
  socket->disconnectFromHost();
}

}  // namespace

QByteArray ProxyStandIn::url(const QByteArray& userInfo) const {
  return "http://" + (userInfo.isEmpty() ? QByteArray() : userInfo + '@') + "127.0.0.1:" +
         QByteArray::number(serverPort());
}

void ProxyStandIn::incomingConnection(qintptr descriptor) {
  auto* socket = new QSslSocket(this);
  socket->setSocketDescriptor(descriptor);
  connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
  // First a request to the proxy, then perhaps one through the tunnel.
  connect(socket, &QSslSocket::readyRead, socket, [this, socket, buffer = QByteArray(), tunnelled = false]() mutable {
    buffer += socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0) return;
    const QByteArray head = buffer.left(end);
    buffer.remove(0, end + 4);
    if (tunnelled) {
      tunnelledRequests.append(head);
      finish(socket, "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                         QByteArray::number(originAnswer.size()) + "\r\nConnection: close\r\n\r\n" + originAnswer);
      return;
    }
    proxyRequests.append(head);
    if (refusesConnect || !head.startsWith("CONNECT ")) {
      finish(socket, "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n");
    } else if (!requiredCredentials.isEmpty() &&
               !(head + "\r\n").contains("\r\nProxy-Authorization: Basic " + requiredCredentials.toBase64() + "\r\n")) {
      finish(socket, "HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic realm=\"stand-in\"\r\n"
                     "Proxy-Connection: close\r\nContent-Length: 0\r\n\r\n");
    } else {
      socket->write("HTTP/1.1 200 Connection established\r\n\r\n");
      tunnelled = true;
      if (head.left(head.indexOf("\r\n")).contains(":443 ") && origin) {
        socket->setLocalCertificate(origin->certificate);
        socket->setPrivateKey(origin->key);
        socket->startServerEncryption();
      }
    }
  });
}

bool ProxyStandIn::trustOrigin(const QString& host) {
  QTemporaryDir folder;
  const QString keyPath = folder.filePath(QStringLiteral("key.pem"));
  const QString certificatePath = folder.filePath(QStringLiteral("certificate.pem"));
  const int status = QProcess::execute(
      QStringLiteral("openssl"), {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                                  "-days", "2", "-subj", "/CN=" + host, "-addext", "subjectAltName=DNS:" + host,
                                  "-keyout", keyPath, "-out", certificatePath});
  QFile keyFile(keyPath), certificateFile(certificatePath);
  if (status != 0 || !keyFile.open(QIODevice::ReadOnly) || !certificateFile.open(QIODevice::ReadOnly)) return false;
  origin = Identity{QSslCertificate(certificateFile.readAll()), QSslKey(keyFile.readAll(), QSsl::Ec)};
  QSslConfiguration trusted = QSslConfiguration::defaultConfiguration();
  trusted.addCaCertificate(origin->certificate);
  QSslConfiguration::setDefaultConfiguration(trusted);
  return !origin->certificate.isNull() && !origin->key.isNull();
}
