#include "awaittask.h"
#include "openclawtest.h"
#include "core/clock.h"
#include "fakegateway.h"
#include "openclaw/loginshell.h"
#include "openclaw/openclawmanager.h"
#include "openclawhome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class OpenClawDetectionTest : public OpenClawTest {
 protected:
  FakeGateway gateway;
};

}  // namespace

TEST_F(OpenClawDetectionTest, StatusFollowsTheInstallationAndTheGateway) {
  const struct {
    const char* name;
    bool home;
    const char* tool;  // where the tool is, or nullptr
    bool gatewayUp;
    OpenClawStatus expected;
  } cases[] = {
      {"nothing", false, nullptr, true, OpenClawStatus::notInstalled},
      {"folder only", true, nullptr, true, OpenClawStatus::notInstalled},
      {"tool without folder", false, ".local/bin/openclaw", true, OpenClawStatus::notInstalled},
      {"installed, gateway answers 404", true, ".local/bin/openclaw", true, OpenClawStatus::ready},
      {"installed, gateway down", true, ".local/bin/openclaw", false, OpenClawStatus::installedServiceDown},
      {"nvm Node version", true, ".nvm/versions/node/v22.1.0/bin/openclaw", true, OpenClawStatus::ready},
      {"found by the login shell", true, "fakebin/openclaw", false, OpenClawStatus::installedServiceDown},
  };
  for (const auto& c : cases) {
    clearHome();
    OpenClawHome::useLoginShellWithFakeBin();
    if (c.home) OpenClawHome::makeConfigFolder();
    if (c.tool) OpenClawHome::installTool(QString::fromUtf8(c.tool));
    manager.setGatewayURLForTesting(c.gatewayUp ? gateway.url() : closedPort());
    awaitTask(manager.refreshStatus());
    EXPECT_EQ(manager.status(), c.expected) << c.name;
  }
}

TEST_F(OpenClawDetectionTest, ProbesCarryNoSecretUnlessGivenOne) {
  manager.setGatewayURLForTesting(gateway.url());
  EXPECT_TRUE(awaitTask(manager.isGatewayReachable()));
  ASSERT_EQ(gateway.requests().size(), 1u);
  EXPECT_EQ(gateway.requests()[0].header("Authorization"), "");
  EXPECT_TRUE(awaitTask(manager.probeGateway(gateway.url(), QStringLiteral("s3cret"))));
  EXPECT_EQ(gateway.requests().back().header("Authorization"), "Bearer s3cret");
  EXPECT_FALSE(awaitTask(manager.probeGateway(closedPort(), QStringLiteral("s3cret"))));
}

// The diagnostics use the last login-shell answer and never show the secret.
TEST_F(OpenClawDetectionTest, DiagnosticsDescribeTheInstallationWithoutTheSecret) {
  manager.setGatewayURLForTesting(QUrl(QStringLiteral("http://127.0.0.1:18789")));
  awaitTask(manager.refreshStatus());
  const QMap<QString, QString> before{
      {QStringLiteral("configExists"), QStringLiteral("false")},
      {QStringLiteral("binaryFound"), QStringLiteral("false")},
      {QStringLiteral("binaryPath"), QStringLiteral("not_found")},
      {QStringLiteral("credentialMode"), QStringLiteral("missing")},
      {QStringLiteral("credentialExists"), QStringLiteral("false")},
      {QStringLiteral("gatewayURL"), QStringLiteral("http://127.0.0.1:18789")},
      {QStringLiteral("status"), QStringLiteral("not_installed")},
  };
  EXPECT_EQ(manager.diagnostics(), before);

  OpenClawHome::makeConfigFolder();
  OpenClawHome::installTool(QStringLiteral("fakebin/openclaw"));
  OpenClawHome::writeConfig(R"({"gateway":{"auth":{"token":"very-secret"}}})");
  manager.setGatewayURLForTesting(closedPort());
  awaitTask(manager.refreshStatus());
  QMap<QString, QString> after = before;
  after[QStringLiteral("configExists")] = after[QStringLiteral("binaryFound")] = QStringLiteral("true");
  after[QStringLiteral("binaryPath")] = OpenClawHome::path(QStringLiteral("fakebin/openclaw"));
  after[QStringLiteral("credentialMode")] = QStringLiteral("token");
  after[QStringLiteral("credentialExists")] = QStringLiteral("true");
  after[QStringLiteral("gatewayURL")] = manager.gatewayURL().toString();
  after[QStringLiteral("status")] = QStringLiteral("service_down");
  EXPECT_EQ(manager.diagnostics(), after);
}

TEST_F(OpenClawDetectionTest, ARefreshThatEndsLateDoesNotOverwriteANewerOne) {
  // The first refresh waits for a slow login shell that would find the tool...
  OpenClawHome::makeConfigFolder();
  OpenClawHome::installTool(QStringLiteral("fakebin/openclaw"));
  OpenClawHome::write(QStringLiteral(".profile"), "sleep 1\nPATH=\"$HOME/fakebin:$PATH\"\n");
  manager.setGatewayURLForTesting(gateway.url());
  QCoro::Task<void> slow = manager.refreshStatus();
  // ...while the installation goes away and a second refresh says so at once.
  QDir(OpenClawHome::path(QStringLiteral(".openclaw"))).removeRecursively();
  awaitTask(manager.refreshStatus());
  awaitTask(std::move(slow));
  EXPECT_EQ(manager.status(), OpenClawStatus::notInstalled);
}

TEST_F(OpenClawDetectionTest, StartRefreshesFromTheEventLoopAndThenOnItsTimer) {
  manager.setGatewayURLForTesting(gateway.url());
  OpenClawHome::makeConfigFolder();
  OpenClawHome::installTool();
  awaitTask(manager.refreshStatus());
  ASSERT_EQ(manager.status(), OpenClawStatus::ready);
  QDir(OpenClawHome::path(QStringLiteral(".openclaw"))).removeRecursively();
  Clock::setTimeScaleForTesting(0.002);
  QSignalSpy changes(&manager, &OpenClawManager::statusChanged);
  manager.start();
  EXPECT_EQ(manager.status(), OpenClawStatus::ready);  // not yet
  ASSERT_TRUE(waitUntil([&] { return manager.status() == OpenClawStatus::notInstalled; }));
  OpenClawHome::makeConfigFolder();
  ASSERT_TRUE(waitUntil([&] { return manager.status() == OpenClawStatus::ready; }));
  EXPECT_EQ(changes.size(), 2);  // published on change only
}

// The login shell comes from $SHELL; where that names nothing usable, the account's shell (or /bin/sh)
// still finds the tool through the profile. Only a clean, successful answer counts.
TEST_F(OpenClawDetectionTest, TheLoginShellFindsTheToolWhateverShellSaysAndOnlyWhenClean) {
  OpenClawHome::installTool(QStringLiteral("fakebin/openclaw"));
  OpenClawHome::write(QStringLiteral("plain-file"), "#!/bin/sh\n");
  OpenClawHome::write(QStringLiteral("not-a-program"), "garbage, no interpreter line", true);
  OpenClawHome::write(QStringLiteral("failing-shell"), "#!/bin/sh\nexit 3\n", true);
  const struct {
    std::optional<QString> shell;  // nullopt: unset
    bool found;
  } cases[] = {
      {std::nullopt, true},
      {QString(), true},
      {QStringLiteral("/nonexistent/zsh"), true},
      {QStringLiteral("sh"), true},
      {QStringLiteral("/tmp"), true},
      {OpenClawHome::path(QStringLiteral("plain-file")), true},
      {OpenClawHome::path(QStringLiteral("not-a-program")), true},
      {OpenClawHome::path(QStringLiteral("failing-shell")), false},
  };
  for (const auto& c : cases) {
    if (c.shell) {
      qputenv("SHELL", c.shell->toLocal8Bit());
    } else {
      qunsetenv("SHELL");
    }
    const std::string name = c.shell.value_or(QStringLiteral("<unset>")).toStdString();
    EXPECT_TRUE(QFileInfo(LoginShell::program()).isAbsolute() && QFileInfo(LoginShell::program()).isExecutable()) << name;
    EXPECT_EQ(awaitTask(manager.lookUpBinaryWithLoginShell()),
              c.found ? std::optional(OpenClawHome::path(QStringLiteral("fakebin/openclaw"))) : std::nullopt)
        << name;
  }
  qputenv("SHELL", "/bin/sh");
  OpenClawHome::write(QStringLiteral(".profile"), "PATH=\"$HOME/fakebin:$PATH\"\nprintf '\\377'\n");  // not UTF-8
  EXPECT_EQ(awaitTask(manager.lookUpBinaryWithLoginShell()), std::nullopt);
}

// A shell that hangs is stopped at the time-out and its command not run again.
TEST_F(OpenClawDetectionTest, AHangingShellEndsAtTheTimeOut) {
  OpenClawHome::write(QStringLiteral("hanging-shell"), "#!/bin/sh\necho started >> \"$HOME/calls.log\"\nexec sleep 30\n", true);
  qputenv("SHELL", OpenClawHome::path(QStringLiteral("hanging-shell")).toLocal8Bit());
  QElapsedTimer timer;
  timer.start();
  const ChildProcess::Result result = awaitTask(LoginShell::run(QStringLiteral("command -v openclaw"), 300ms));
  EXPECT_TRUE(result.timedOut);
  EXPECT_LT(timer.elapsed(), 5000);
  EXPECT_EQ(OpenClawHome::calls(), QStringList{"started"});
}
