#include "awaittask.h"
#include "closedport.h"
#include "core/clock.h"
#include "fakegateway.h"
#include "openclaw/openclawmanager.h"
#include "openclawhome.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

void clearHome() {
  for (const char* entry : {".openclaw", ".local", ".nvm", "fakebin"}) QDir(OpenClawHome::path(QString::fromUtf8(entry))).removeRecursively();
  QFile::remove(OpenClawHome::path(QStringLiteral(".profile")));
}

class OpenClawDetectionTest : public ::testing::Test {
 protected:
  void SetUp() override { OpenClawHome::useLoginShellWithFakeBin(); }

  OpenClawManager& manager = OpenClawManager::shared();
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
  const QMap<QString, QString> before{
      {QStringLiteral("configExists"), QStringLiteral("false")},
      {QStringLiteral("binaryFound"), QStringLiteral("false")},
      {QStringLiteral("binaryPath"), QStringLiteral("not_found")},
      {QStringLiteral("credentialMode"), QStringLiteral("missing")},
      {QStringLiteral("credentialExists"), QStringLiteral("false")},
      {QStringLiteral("gatewayURL"), QStringLiteral("http://127.0.0.1:18789")},
      {QStringLiteral("status"), QStringLiteral("unknown")},
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
  EXPECT_EQ(manager.diagnostics().value(QStringLiteral("binaryFound")), QStringLiteral("false"));
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

TEST_F(OpenClawDetectionTest, StartRefreshesAtOnceAndThenOnItsTimer) {
  Clock::setTimeScaleForTesting(0.002);  // 15 s become 30 ms
  manager.setGatewayURLForTesting(gateway.url());
  QSignalSpy changes(&manager, &OpenClawManager::statusChanged);
  manager.start();
  EXPECT_EQ(manager.status(), OpenClawStatus::unknown);  // the first refresh runs from the event loop
  ASSERT_TRUE(waitUntil([&] { return manager.status() == OpenClawStatus::notInstalled; }));

  OpenClawHome::makeConfigFolder();
  OpenClawHome::installTool();
  ASSERT_TRUE(waitUntil([&] { return manager.status() == OpenClawStatus::ready; }));
  // Published on change only: unknown -> notInstalled -> ready.
  EXPECT_EQ(changes.size(), 2);
}
