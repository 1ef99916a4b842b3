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

std::optional<Identity>& originIdentity() {
  static std::optional<Identity> identity;
  return identity;
}

// The value of a header field of `head` (case-insensitive name), or a null array.
QByteArray fieldOf(const QByteArray& head, const QByteArray& name) {
  for (const QByteArray& line : head.split('\n')) {
    const qsizetype colon = line.indexOf(':');
    if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
      return line.mid(colon + 1).trimmed();
    }
  }
  return {};
}

}  // namespace

// One connection to the proxy: a proxy request, then perhaps the tunnelled one.
class ProxiedConnection : public QObject {
 public:
  ProxiedConnection(ProxyStandIn* proxy, qintptr descriptor) : QObject(proxy), proxy_(proxy), socket_(new QSslSocket(this)) {
    socket_->setSocketDescriptor(descriptor);
    connect(socket_, &QSslSocket::readyRead, this, &ProxiedConnection::received);
    connect(socket_, &QSslSocket::disconnected, this, &QObject::deleteLater);
  }

 private:
  void received() {
    buffer_ += socket_->readAll();
    const qsizetype end = buffer_.indexOf("\r\n\r\n");
    if (end < 0) return;
    const QByteArray head = buffer_.left(end);
    buffer_.remove(0, end + 4);
    tunnelled_ ? answerAsOrigin(head) : answerAsProxy(head);
  }

  void answerAsProxy(const QByteArray& head) {
    proxy_->proxyRequests_.append(head);
    const QList<QByteArray> requestLine = head.left(head.indexOf('\r')).split(' ');
    if (requestLine.size() != 3 || requestLine[0] != "CONNECT" || proxy_->reply_ == ProxyStandIn::Reply::refuse) {
      finish("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n");
      return;
    }
    if (!proxy_->credentials_.isEmpty() &&
        fieldOf(head, "Proxy-Authorization") != "Basic " + proxy_->credentials_.toBase64()) {
      finish("HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic realm=\"stand-in\"\r\n"
             "Proxy-Connection: close\r\nContent-Length: 0\r\n\r\n");
      return;
    }
    socket_->write("HTTP/1.1 200 Connection established\r\n\r\n");
    tunnelled_ = true;
    if (requestLine[1].endsWith(":443") && originIdentity()) {
      socket_->setLocalCertificate(originIdentity()->certificate);
      socket_->setPrivateKey(originIdentity()->key);
      socket_->startServerEncryption();
    }
  }

  void answerAsOrigin(const QByteArray& head) {
    proxy_->tunnelledRequests_.append(head);
    const QByteArray& body = proxy_->originAnswer_;
    finish("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body);
  }

  void finish(const QByteArray& answer) {
    socket_->write(answer);
    socket_->disconnectFromHost();
  }

  ProxyStandIn* proxy_;
  QSslSocket* socket_;
  QByteArray buffer_;
  bool tunnelled_ = false;
};

ProxyStandIn::ProxyStandIn(Reply reply) : reply_(reply) { listen(QHostAddress::LocalHost); }

QByteArray ProxyStandIn::url(const QByteArray& userInfo) const {
  return "http://" + (userInfo.isEmpty() ? QByteArray() : userInfo + '@') + "127.0.0.1:" +
         QByteArray::number(serverPort());
}

void ProxyStandIn::incomingConnection(qintptr descriptor) { new ProxiedConnection(this, descriptor); }

bool ProxyStandIn::trustOrigin(const QString& host) {
  QTemporaryDir folder;
  const QString key = folder.filePath(QStringLiteral("key.pem"));
  const QString certificate = folder.filePath(QStringLiteral("certificate.pem"));
  QProcess openssl;
  openssl.start(QStringLiteral("openssl"),
                {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2",
                 "-subj", "/CN=" + host, "-addext", "subjectAltName=DNS:" + host, "-keyout", key, "-out", certificate});
  if (!openssl.waitForFinished(30'000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0) {
    return false;
  }
  QFile keyFile(key), certificateFile(certificate);
  if (!keyFile.open(QIODevice::ReadOnly) || !certificateFile.open(QIODevice::ReadOnly)) return false;
  Identity identity{QSslCertificate(certificateFile.readAll()), QSslKey(keyFile.readAll(), QSsl::Ec)};
  if (identity.certificate.isNull() || identity.key.isNull()) return false;
  QSslConfiguration trusted = QSslConfiguration::defaultConfiguration();
  trusted.addCaCertificate(identity.certificate);
  QSslConfiguration::setDefaultConfiguration(trusted);
  originIdentity() = std::move(identity);
  return true;
}
