#include "app/singleinstance.h"

#include "core/paths.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <fcntl.h>
#include <sys/file.h>
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
  QLocalServer::removeServer(socketPath());
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (socket->readAll().contains("activate")) Q_EMIT activationRequested();
        socket->disconnectFromServer();
      });
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
  });
  server_->listen(socketPath());
  return true;
}

bool SingleInstance::activateRunningCopy(int timeoutMs) const {
  QLocalSocket socket;
  socket.connectToServer(socketPath());
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kActivate);
  return socket.waitForBytesWritten(timeoutMs);
}
