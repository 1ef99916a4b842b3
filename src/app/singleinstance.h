#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// Keeps one running copy of the program per user.
//
// The first copy holds an exclusive lock on a file in the private temporary
// folder (the kernel drops it when the process ends, however it ends) and
// listens on a local socket beside it. A later copy fails to take the lock,
// asks the running copy to come forward through the socket, and quits.
// (The request carries nothing but "come forward", so a socket in the
// abstract namespace, open to every local user, is used where a path would be
// too long.)
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // `folder` holds the lock and the socket; the private temporary folder by default.
  explicit SingleInstance(QString folder = {}, QObject* parent = nullptr);
  ~SingleInstance() override;

  // Takes the lock; true when this is now the running copy.
  bool claim();

  // From a copy that could not claim: asks the running copy to come forward.
  // Returns whether the running copy received the request.
  bool activateRunningCopy(int timeoutMs = 1000) const;

 Q_SIGNALS:
  // The running copy was asked to come forward by a later copy.
  void activationRequested();

 private:
  QString lockPath() const;
  QString socketPath() const;
  bool socketFitsFolder() const;
  // Where the running copy listens: the socket file beside the lock, or a
  // name in the kernel's abstract namespace when that path is too long.
  QString socketName() const;

  QString folder_;
  int lockFd_ = -1;
  QLocalServer* server_ = nullptr;
};
