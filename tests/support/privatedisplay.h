#pragma once

#include <QProcess>
#include <QString>

// An X server of its own (Xvfb, on the first free display number), so that the
// rest of the suite keeps the test desktop. `name` is empty if it did not start.
struct PrivateDisplay {
  PrivateDisplay() {
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                  QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (server.waitForReadyRead(10000)) name = u':' + QString::fromLatin1(server.readLine().trimmed());
  }
  ~PrivateDisplay() {
    server.kill();
    server.waitForFinished(3000);
  }
  QProcess server;
  QString name;
};
