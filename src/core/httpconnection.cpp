#include "core/httpconnection.h"

#include "core/appinfo.h"
#include "core/proxychoice.h"

#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

namespace {

bool fitsInAHead(const QByteArray& text) {
  return !text.contains('\r') && !text.contains('\n') && !text.contains('\0');
}

HttpFailure::Kind kindOf(QAbstractSocket::SocketError error, bool throughProxy) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::NetworkError:
    case QAbstractSocket::ProxyConnectionTimeoutError:
      return HttpFailure::Kind::cannotConnect;
    // The proxy would not open the way: its port refused, it answered CONNECT
    // with something else than success, it hung up before the tunnel stood,
    // or it wants credentials the proxy setting lacks.
    case QAbstractSocket::ProxyConnectionRefusedError:
    case QAbstractSocket::ProxyConnectionClosedError:
    case QAbstractSocket::ProxyAuthenticationRequiredError:
    case QAbstractSocket::ProxyProtocolError:
      return HttpFailure::Kind::proxyRefused;
    // How Qt reports an HTTP proxy's 403 or 405 to CONNECT; on a direct
    // connection, the system forbade it.
    case QAbstractSocket::SocketAccessError:
      return throughProxy ? HttpFailure::Kind::proxyRefused : HttpFailure::Kind::other;
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::ProxyNotFoundError:
      return HttpFailure::Kind::cannotFindHost;
    case QAbstractSocket::RemoteHostClosedError:
      return HttpFailure::Kind::connectionLost;
    case QAbstractSocket::SocketTimeoutError: return HttpFailure::Kind::timedOut;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
      return HttpFailure::Kind::secureConnectionFailed;
    default: return HttpFailure::Kind::other;
  }
}

}  // namespace

void HttpConnection::News::await_suspend(std::coroutine_handle<> waiting) {
  // Resumed from the event loop, never inside the socket's own signal: the
  // waiting coroutine may well delete the connection when it goes on.
  subscription_ = QObject::connect(connection_, &HttpConnection::changed, connection_, [this, waiting] {
    QObject::disconnect(subscription_);
    QMetaObject::invokeMethod(connection_, [waiting] { waiting.resume(); }, Qt::QueuedConnection);
  });
}

HttpConnection::HttpConnection(Request request, QObject* parent)
    : QObject(parent), request_(std::move(request)), reader_(request_.method == "HEAD") {
  idle_ = new QTimer(this);
  idle_->setSingleShot(true);
  idle_->setInterval(request_.idleTimeout);
  connect(idle_, &QTimer::timeout, this, [this] {
    fail(HttpFailure::Kind::timedOut, QStringLiteral("The request timed out."));
  });
  start();
}

HttpConnection::~HttpConnection() {
  if (socket_) {
    socket_->disconnect(this);
    socket_->abort();
  }
}

void HttpConnection::start() {
  const QUrl& url = request_.url;
  const QString scheme = url.scheme().toLower();
  const bool secure = scheme == QLatin1String("https");
  if (!url.isValid() || url.host().isEmpty() || (!secure && scheme != QLatin1String("http"))) {
    fail(HttpFailure::Kind::badURL, QStringLiteral("Bad URL: \"%1\"").arg(url.toString()));
    return;
  }
  if (secure && !QSslSocket::supportsSsl()) {
    fail(HttpFailure::Kind::secureConnectionFailed, QStringLiteral("TLS is not available on this system"));
    return;
  }

  QTcpSocket* socket = secure ? new QSslSocket(this) : new QTcpSocket(this);
  socket_ = socket;
  // An HTTP proxy is asked for a tunnel (CONNECT) for plain http too: the
  // request then reaches the server byte for byte as written here, once.
  socket->setProxy(ProxyChoice::forUrl(url));
  if (secure) {
    connect(static_cast<QSslSocket*>(socket), &QSslSocket::encrypted, this, &HttpConnection::sendRequest);
  } else {
    connect(socket, &QTcpSocket::connected, this, &HttpConnection::sendRequest);
  }
  connect(socket, &QTcpSocket::connected, this, &HttpConnection::touch);
  connect(socket, &QTcpSocket::bytesWritten, this, &HttpConnection::touch);
  connect(socket, &QTcpSocket::readyRead, this, &HttpConnection::received);
  connect(socket, &QTcpSocket::disconnected, this, &HttpConnection::peerClosed);
  connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::RemoteHostClosedError) {
      peerClosed();
    } else if (socket_) {
      fail(kindOf(error, socket_->proxy().type() != QNetworkProxy::NoProxy), socket_->errorString());
    }
  });

  idle_->start();
  const quint16 port = static_cast<quint16>(url.port(secure ? 443 : 80));
  if (secure) {
    static_cast<QSslSocket*>(socket)->connectToHostEncrypted(url.host(), port);
  } else {
    socket->connectToHost(url.host(), port);
  }
}

void HttpConnection::sendRequest() {
  if (finished_ || !socket_) return;
  const QUrl& url = request_.url;
  QByteArray target = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
  if (!target.startsWith('/')) target.prepend('/');
  QByteArray host = url.host(QUrl::FullyEncoded).toUtf8();
  if (host.contains(':')) host = '[' + host + ']';
  const int defaultPort = url.scheme().toLower() == QLatin1String("https") ? 443 : 80;
  if (url.port() != -1 && url.port() != defaultPort) host += ':' + QByteArray::number(url.port());

  QByteArray head = request_.method + ' ' + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
  bool hasUserAgent = false;
  for (const auto& [name, value] : std::as_const(request_.headers)) {
    if (!fitsInAHead(name) || !fitsInAHead(value)) continue;
    head += name + ": " + value + "\r\n";
    hasUserAgent = hasUserAgent || name.compare("User-Agent", Qt::CaseInsensitive) == 0;
  }
  if (!hasUserAgent) head += "User-Agent: Veltrine/" + AppInfo::shortVersion().toUtf8() + "\r\n";
  if (request_.body) head += "Content-Length: " + QByteArray::number(request_.body->size()) + "\r\n";
  head += "Connection: close\r\n\r\n";
  socket_->write(head);
  if (request_.body && !request_.body->isEmpty()) socket_->write(*request_.body);
}

void HttpConnection::received() {
  if (finished_ || !socket_) return;
  touch();
  reader_.feed(socket_->readAll());
  settle(false);
}

void HttpConnection::peerClosed() {
  if (finished_) return;
  if (socket_ && socket_->bytesAvailable() > 0) reader_.feed(socket_->readAll());
  reader_.endOfInput();
  settle(true);
}

void HttpConnection::settle(bool ended) {
  if (reader_.state() == HttpResponseReader::State::malformed) {
    fail(HttpFailure::Kind::badResponse, reader_.problem());
    return;
  }
  if (reader_.hasHead() && request_.bodyLimit) {
    const qint64 limit = *request_.bodyLimit;
    const std::optional<qint64> announced = reader_.announcedLength();
    if ((announced && *announced > limit) || reader_.bodySize() > limit) {
      fail(HttpFailure::Kind::tooLarge, QStringLiteral("The answer is longer than %1 bytes").arg(limit));
      return;
    }
  }
  if (reader_.state() == HttpResponseReader::State::complete) {
    finish(std::nullopt);
    return;
  }
  if (ended) {
    fail(HttpFailure::Kind::connectionLost, reader_.receivedAnything()
                                                ? QStringLiteral("The connection closed in the middle of the answer")
                                                : QStringLiteral("The connection closed before any answer arrived"));
    return;
  }
  Q_EMIT changed();
}

void HttpConnection::abort() { fail(HttpFailure::Kind::cancelled, QStringLiteral("Operation canceled")); }

void HttpConnection::fail(HttpFailure::Kind kind, const QString& detail) { finish(HttpFailure(kind, detail)); }

void HttpConnection::finish(std::optional<HttpFailure> failure) {
  if (finished_) return;
  finished_ = true;
  failure_ = std::move(failure);
  idle_->stop();
  // Nothing more is read or written; the socket goes with this object.
  if (socket_) {
    socket_->disconnect(this);
    socket_->abort();
  }
  Q_EMIT changed();
}

void HttpConnection::touch() {
  if (!finished_) idle_->start();
}
