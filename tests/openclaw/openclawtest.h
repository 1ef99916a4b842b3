#pragma once

#include "core/clock.h"
#include "openclaw/openclawmanager.h"
#include "openclawhome.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// A loopback address where nothing listens until a test starts something there.
// The port lies below the range the system hands out to outgoing connections
// and to listeners on port 0 (32768 and up by default): under the whole suite's
// load, a port from that range is soon taken by some other test's connection,
// and the gateway the test starts there later cannot have it.
inline QUrl closedPort() {
  static std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> below(20000, 32000);
  quint16 port = 0;
  for (int attempt = 0; attempt < 100 && port == 0; ++attempt) {
    QTcpServer server;
    if (server.listen(QHostAddress::LocalHost, quint16(below(random)))) port = server.serverPort();
  }
  return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
}

// The folder of the real OpenClaw tool (VELTRINE_TEST_OPENCLAW), whose bin/ holds `openclaw` and the
// `node` that runs it; empty when it is not there.
inline QString realOpenClawFolder() {
  const QString folder = qEnvironmentVariable("VELTRINE_TEST_OPENCLAW");
  return QFileInfo(folder + QStringLiteral("/bin/openclaw")).isExecutable() ? folder : QString();
}

// Skips the test without the real tool, or fails it where the tool is required (scripts/test).
#define REQUIRE_REAL_OPENCLAW()                                                                         \
  do {                                                                                                  \
    if (realOpenClawFolder().isEmpty()) {                                                               \
      if (qEnvironmentVariableIsSet("VELTRINE_TEST_REQUIRE_OPENCLAW")) FAIL() << "the OpenClaw tool is missing"; \
      GTEST_SKIP() << "needs the real OpenClaw tool (scripts/test installs it)";                       \
    }                                                                                                   \
  } while (false)

// The tool keeps one log of the day for all of a user's homes (/tmp/openclaw), and a gateway start reads
// what it gained: a test that runs the tool holds this machine-wide lock meanwhile, so that no other
// test's gateway refusal lands in its start. Waits at most `limit` for it, then goes on without it.
class OpenClawToolLock {
 public:
  explicit OpenClawToolLock(std::chrono::seconds limit) {
    // Close-on-exec: a gateway left running never holds it.
    fd_ = ::open("/tmp/veltrine-openclaw-tool.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  ~OpenClawToolLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  OpenClawToolLock(const OpenClawToolLock&) = delete;
  OpenClawToolLock& operator=(const OpenClawToolLock&) = delete;

 private:
  int fd_ = -1;
};

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
