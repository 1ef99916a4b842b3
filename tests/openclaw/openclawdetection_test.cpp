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
  enum Tool { none, localBin, nvm, loginShell };
  const struct {
    const char* name;
    bool home;
    Tool tool;
    bool gatewayUp;
    OpenClawStatus expected;
  } cases[] = {
      {"nothing", false, none, true, OpenClawStatus::notInstalled},
      {"folder only, shell finds nothing", true, none, true, OpenClawStatus::notInstalled},
      {"tool without folder", false, localBin, true, OpenClawStatus::notInstalled},
      {"installed, gateway answers 404", true, localBin, true, OpenClawStatus::ready},
      {"installed, gateway down", true, localBin, false, OpenClawStatus::installedServiceDown},
      {"tool of an nvm Node version", true, nvm, true, OpenClawStatus::ready},
      {"tool found by the login shell", true, loginShell, false, OpenClawStatus::installedServiceDown},
  };
  for (const auto& c : cases) {
    clearHome();
    OpenClawHome::useLoginShellWithFakeBin();
    if (c.home) OpenClawHome::makeConfigFolder();
    if (c.tool == localBin) OpenClawHome::installTool();
    if (c.tool == nvm) OpenClawHome::installTool(QStringLiteral(".nvm/versions/node/v22.1.0/bin/openclaw"));
    if (c.tool == loginShell) OpenClawHome::installTool(QStringLiteral("fakebin/openclaw"));
    manager.setGatewayURLForTesting(c.gatewayUp ? gateway.url() : closedPort());
    awaitTask(manager.refreshStatus());
    EXPECT_EQ(manager.status(), c.expected) << c.name;
  }
}

TEST_F(OpenClawDetectionTest, ProbesCarryNoSecretUnlessGivenOne) {
  manager.setGatewayURLForTesting(gateway.url());
  EXPECT_TRUE(awaitTask(manager.isGatewayReachable()));
  ASSERT_EQ(gateway.requests().size(), 1u);
  EXPECT_EQ(gateway.requests()[0].path, "/");
  EXPECT_EQ(gateway.requests()[0].header("Authorization"), "");

  EXPECT_TRUE(awaitTask(manager.probeGateway(gateway.url(), QStringLiteral("s3cret"))));
  EXPECT_EQ(gateway.requests().back().header("Authorization"), "Bearer s3cret");
  EXPECT_FALSE(awaitTask(manager.probeGateway(closedPort(), QStringLiteral("s3cret"))));
}

TEST_F(OpenClawDetectionTest, TheLoginShellAnswerCountsOnlyWhenCleanAndSuccessful) {
  OpenClawHome::installTool(QStringLiteral("fakebin/openclaw"));
  EXPECT_EQ(awaitTask(manager.lookUpBinaryWithLoginShell()), OpenClawHome::path(QStringLiteral("fakebin/openclaw")));

  // A profile that prints bytes that are not UTF-8.
  OpenClawHome::write(QStringLiteral(".profile"), "PATH=\"$HOME/fakebin:$PATH\"\nprintf '\\377'\n");
  EXPECT_EQ(awaitTask(manager.lookUpBinaryWithLoginShell()), std::nullopt);

  QFile::remove(OpenClawHome::path(QStringLiteral("fakebin/openclaw")));
  OpenClawHome::useLoginShellWithFakeBin();
  EXPECT_EQ(awaitTask(manager.lookUpBinaryWithLoginShell()), std::nullopt);
}

TEST_F(OpenClawDetectionTest, DiagnosticsDescribeTheInstallationWithoutTheSecret) {
  const QUrl url(QStringLiteral("http://127.0.0.1:18789"));
  manager.setGatewayURLForTesting(url);
  awaitTask(manager.refreshStatus());  // nothing installed
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
  OpenClawHome::installTool();
  OpenClawHome::writeConfig(R"({"gateway":{"auth":{"token":"very-secret"}}})");
  awaitTask(manager.refreshStatus());  // the default port is closed in the test
  QMap<QString, QString> after = before;
  after[QStringLiteral("configExists")] = QStringLiteral("true");
  after[QStringLiteral("binaryFound")] = QStringLiteral("true");
  after[QStringLiteral("binaryPath")] = OpenClawHome::path(QStringLiteral(".local/bin/openclaw"));
  after[QStringLiteral("credentialMode")] = QStringLiteral("token");
  after[QStringLiteral("credentialExists")] = QStringLiteral("true");
  after[QStringLiteral("status")] = manager.status() == OpenClawStatus::ready ? QStringLiteral("installed")
                                                                              : QStringLiteral("service_down");
  EXPECT_EQ(manager.diagnostics(), after);
  for (const QString& value : manager.diagnostics()) EXPECT_FALSE(value.contains(QStringLiteral("very-secret")));
}

TEST_F(OpenClawDetectionTest, DiagnosticsUseTheLastLoginShellAnswerWithoutWaitingForAShell) {
  OpenClawHome::makeConfigFolder();
  OpenClawHome::installTool(QStringLiteral("fakebin/openclaw"));
  manager.setGatewayURLForTesting(closedPort());
  awaitTask(manager.refreshStatus());
  EXPECT_EQ(manager.diagnostics().value(QStringLiteral("binaryPath")), OpenClawHome::path(QStringLiteral("fakebin/openclaw")));
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
  EXPECT_EQ(manager.status(), OpenClawStatus::notInstalled);
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
  Clock::setTimeScaleForTesting(0.002);  // 15 s become 30 ms
  QSignalSpy changes(&manager, &OpenClawManager::statusChanged);
  manager.start();
  EXPECT_EQ(manager.status(), OpenClawStatus::ready);  // not yet
  ASSERT_TRUE(waitUntil([&] { return manager.status() == OpenClawStatus::notInstalled; }));
  OpenClawHome::makeConfigFolder();
  ASSERT_TRUE(waitUntil([&] { return manager.status() == OpenClawStatus::ready; }));
  EXPECT_EQ(changes.size(), 2);  // published on change only
}

// The login shell comes from $SHELL; where that names nothing usable, the
// account's shell (or /bin/sh) still finds the tool through the profile.
TEST_F(OpenClawDetectionTest, TheToolIsFoundThroughAnotherShellWhenShellIsUnusable) {
  OpenClawHome::installTool(QStringLiteral("fakebin/openclaw"));
  OpenClawHome::write(QStringLiteral("plain-file"), "#!/bin/sh\n");
  OpenClawHome::write(QStringLiteral("not-a-program"), "garbage, no interpreter line", true);
  OpenClawHome::write(QStringLiteral("failing-shell"), "#!/bin/sh\nexit 3\n", true);
  const struct {
    const char* name;
    std::optional<QString> shell;  // nullopt: unset
    bool found;
  } cases[] = {
      {"unset", std::nullopt, true},
      {"empty", QString(), true},
      {"missing", QStringLiteral("/nonexistent/zsh"), true},
      {"relative", QStringLiteral("sh"), true},
      {"a folder", QStringLiteral("/tmp"), true},
      {"not executable", OpenClawHome::path(QStringLiteral("plain-file")), true},
      {"executable but no program", OpenClawHome::path(QStringLiteral("not-a-program")), true},
      {"a shell that fails", OpenClawHome::path(QStringLiteral("failing-shell")), false},
  };
  for (const auto& c : cases) {
    if (c.shell) {
      qputenv("SHELL", c.shell->toLocal8Bit());
    } else {
      qunsetenv("SHELL");
    }
    const QString shell = LoginShell::program();
    EXPECT_TRUE(QFileInfo(shell).isAbsolute() && QFileInfo(shell).isExecutable()) << c.name << ": " << shell.toStdString();
    const std::optional<QString> found = awaitTask(manager.lookUpBinaryWithLoginShell());
    EXPECT_EQ(found, c.found ? std::optional(OpenClawHome::path(QStringLiteral("fakebin/openclaw"))) : std::nullopt)
        << c.name;
  }
}

// A shell that hangs is stopped at the time-out and its command not run again.
TEST_F(OpenClawDetectionTest, AHangingShellEndsAtTheTimeOut) {
  OpenClawHome::write(QStringLiteral("hanging-shell"), "#!/bin/sh\necho started >> \"$HOME/calls.log\"\nexec sleep 30\n", true);
  qputenv("SHELL", OpenClawHome::path(QStringLiteral("hanging-shell")).toLocal8Bit());
  QElapsedTimer timer;
  timer.start();
  const ChildProcess::Result result = awaitTask(LoginShell::run(QStringLiteral("command -v openclaw"), 300ms));
  EXPECT_TRUE(result.timedOut);
  EXPECT_FALSE(result.succeeded());
  EXPECT_LT(timer.elapsed(), 5000);
  EXPECT_EQ(OpenClawHome::calls(), QStringList{"started"});
}
