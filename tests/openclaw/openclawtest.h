#pragma once

#include "core/clock.h"
#include "openclaw/openclawmanager.h"
#include "openclawhome.h"

#include <QDir>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

// A loopback address where nothing listens until a test starts something there.
inline QUrl closedPort() {
  QTcpServer server;
  server.listen(QHostAddress::LocalHost);
  const quint16 port = server.serverPort();
  server.close();
  return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
}

// The shared manager over an empty home whose login shell reaches ~/fakebin; restores all it changes.
class OpenClawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clearHome();
    OpenClawHome::useLoginShellWithFakeBin();
  }
  void TearDown() override {
    for (QTimer* timer : manager.findChildren<QTimer*>()) timer->stop();
    manager.setGatewayURLForTesting(gatewayURLBefore_);
    Clock::setTimeScaleForTesting(1.0);
    shellBefore_.isNull() ? qunsetenv("SHELL") : qputenv("SHELL", shellBefore_);
    clearHome();
  }
  static void clearHome() {
    for (const char* entry : {".openclaw", ".local", ".nvm", "fakebin"}) {
      QDir(OpenClawHome::path(QString::fromUtf8(entry))).removeRecursively();
    }
    for (const char* file : {".profile", "calls.log", "service-installed"}) {
      QFile::remove(OpenClawHome::path(QString::fromUtf8(file)));
    }
  }

  OpenClawManager& manager = OpenClawManager::shared();

 private:
  const QUrl gatewayURLBefore_ = OpenClawManager::shared().gatewayURL();
  const QByteArray shellBefore_ = qgetenv("SHELL");
};
