#include "app/singleinstance.h"

#include "core/paths.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
constexpr char kActivate[] = "activate\n";
}

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), folder_(folder.isEmpty() ? Paths::temporaryDirectory() : std::move(folder)) {}

SingleInstance::~SingleInstance() {
  if (lockFd_ >= 0) ::close(lockFd_);
}

QString SingleInstance::lockPath() const { return folder_ + QStringLiteral("/instance.lock"); }
QString SingleInstance::socketPath() const { return folder_ + QStringLiteral("/instance.sock"); }

bool SingleInstance::socketFitsFolder() const {
  return QFile::encodeName(socketPath()).size() < qsizetype(sizeof(sockaddr_un::sun_path));
}

QString SingleInstance::socketName() const {
  if (socketFitsFolder()) return socketPath();
  // A socket's path has room for about a hundred bytes only; beside a deeper
  // folder the socket gets a name of its own, made from the folder's path.
  const QByteArray digest = QCryptographicHash::hash(QFile::encodeName(folder_), QCryptographicHash::Sha256);
  return QStringLiteral("veltrine-instance-") + QString::fromLatin1(digest.toHex().left(32));
}

bool SingleInstance::claim() {
  if (lockFd_ >= 0) return true;
  // Without a private folder there is no safe place to coordinate: run anyway.
  if (folder_.isEmpty()) return true;
  const QByteArray path = QFile::encodeName(lockPath());
  const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return true;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  lockFd_ = fd;

  // We hold the lock, so a socket file left by a copy that died is stale.
  server_ = new QLocalServer(this);
  if (socketFitsFolder()) {
    QLocalServer::removeServer(socketPath());
    server_->setSocketOptions(QLocalServer::UserAccessOption);
  } else {
    server_->setSocketOptions(QLocalServer::AbstractNamespaceOption);
  }
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (socket->readAll().contains("activate")) Q_EMIT activationRequested();
        socket->disconnectFromServer();
      });
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
  });
  server_->listen(socketName());
  return true;
}

bool SingleInstance::activateRunningCopy(int timeoutMs) const {
  QLocalSocket socket;
  if (!socketFitsFolder()) socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
  socket.connectToServer(socketName());
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kActivate);
  return socket.waitForBytesWritten(timeoutMs);
}
