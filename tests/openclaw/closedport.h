#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QUrl>

// A loopback address where nothing listens (connections are refused at once)
// until a test starts something on that port.
inline QUrl closedPort() {
  QTcpServer server;
  server.listen(QHostAddress::LocalHost);
  const quint16 port = server.serverPort();
  server.close();
  return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
}
