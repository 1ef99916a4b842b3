#include "awaittask.h"
#include "openclawtest.h"
#include "core/clock.h"
#include "fakegateway.h"
#include "logcapture.h"
#include "faketerminaldriver.h"
#include "openclaw/openclawmanager.h"
#include "openclawhome.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QString kSetMode = QStringLiteral("openclaw config set gateway.mode local");
const QString kEnableChat = QStringLiteral("openclaw config set gateway.http.endpoints.chatCompletions.enabled true");
const QString kAuthMode = QStringLiteral("openclaw config set gateway.auth.mode token");
const QString kAuthToken = QStringLiteral("openclaw config set gateway.auth.token \"<token>\"");  // the token as a JSON string
const QString kInstall = QStringLiteral("openclaw gateway install");
const QString kRun = QStringLiteral("openclaw gateway run");
const QByteArray kComplete =
    R"({"gateway":{"mode":"local","auth":{"mode":"token","token":"t0k"},"http":{"endpoints":{"chatCompletions":{"enabled":true}}}}})";
const QByteArray kNoMode = R"({"gateway":{"auth":{"token":"t0k"},"http":{"endpoints":{"chatCompletions":{"enabled":true}}}}})";
const QByteArray kCredentialOnly = R"({"gateway":{"auth":{"mode":"token","token":"t0k"}}})";
const QByteArray kNoCredential = R"({"gateway":{"mode":"local","http":{"endpoints":{"chatCompletions":{"enabled":true}}}}})";
// A saved token, as the commands give it.
const QRegularExpression kToken(QStringLiteral("[0-9a-f]{48}"));

// The tool in ~/fakebin (reached through the login shell) and a gateway the test starts on a free port.
class GatewayLifecycleTest : public OpenClawTest {
 protected:
  void SetUp() override {
    OpenClawTest::SetUp();
    Clock::setTimeScaleForTesting(0.001);
    OpenClawHome::makeConfigFolder();
    OpenClawHome::installTool(QStringLiteral("fakebin/openclaw"));
    manager.setGatewayURLForTesting(gatewayURL = closedPort());
  }
  void startTheGateway() {
    gateway = std::make_unique<FakeGateway>(gatewayURL.port());
    EXPECT_EQ(gateway->url(), gatewayURL) << "another program took the gateway's port";
  }
  // The tool's configuration commands, each saved token written as "<token>".
  QStringList configCommands() const {
    QStringList commands = OpenClawHome::calls().filter(QRegularExpression(QStringLiteral("^openclaw config")));
    for (QString& command : commands) command.replace(kToken, QStringLiteral("<token>"));
    return commands;
  }
  void clearCalls() { QFile::remove(OpenClawHome::path(QStringLiteral("calls.log"))); }
  void start(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    manager.setStartingGateway(true);
    awaitTask(manager.startGateway(), limit);
    EXPECT_FALSE(manager.isStartingGateway());
  }

  FakeTerminalDriver terminal;
  QUrl gatewayURL;
  std::unique_ptr<FakeGateway> gateway;
};

}  // namespace

TEST_F(GatewayLifecycleTest, TheConfigurationGetsOnlyTheCommandsItLacksOneAfterTheOther) {
  const struct {
    std::optional<QByteArray> config;
    QStringList expected;
  } cases[] = {
      {kComplete, {}},
      {R"({"gateway":{"mode":"remote","http":{"endpoints":{"chatCompletions":{"enabled":true}}}}})", {}},
      {kNoMode, {kSetMode}},
      {R"({"gateway":{"mode":"local","http":{"endpoints":{"chatCompletions":{"enabled":"true"}}}}})", {kEnableChat}},
      {"{}", {kSetMode, kEnableChat}},
      {R"({"gateway":true})", {kSetMode, kEnableChat}},
      {"{gateway", {}},
      {std::nullopt, {}},
  };
  for (const auto& c : cases) {
    clearCalls();
    QFile::remove(OpenClawHome::path(QStringLiteral(".openclaw/openclaw.json")));
    if (c.config) OpenClawHome::writeConfig(*c.config);
    awaitTask(manager.ensureGatewayConfig());
    EXPECT_EQ(configCommands(), c.expected) << c.config.value_or("<no file>").toStdString();
  }
}

TEST_F(GatewayLifecycleTest, AStartWhileTheGatewayRunsOpensNoWindow) {
  startTheGateway();
  QSignalSpy flag(&manager, &OpenClawManager::isStartingGatewayChanged);
  EXPECT_TRUE(manager.requestGatewayStart());
  EXPECT_FALSE(manager.requestGatewayStart()) << "a second press starts nothing";
  ASSERT_TRUE(waitUntil([&] { return !manager.isStartingGateway(); }));
  EXPECT_EQ(manager.status(), OpenClawStatus::ready);
  EXPECT_TRUE(terminal.calls.isEmpty());
  EXPECT_TRUE(configCommands().isEmpty());
  EXPECT_EQ(flag.size(), 2);
}

// A credential and the configuration first, again before each further start and once the gateway is up
// (the fake tool changes nothing, so each step finds the same gaps); a mode refusal restarts after the
// fix; a gateway never up runs in a window.
TEST_F(GatewayLifecycleTest, TheStartFixesTheConfigurationStartsTheServiceAndFallsBack) {
  const struct {
    const char* name;
    std::optional<QByteArray> config;
    bool serviceInstalled, modeRefusal;
    int upOnStart;  // 0: never
    QStringList commands;
    QList<QStringList> configAtStarts;  // the configuration commands done when each start command ran
    QStringList configCommands;         // all of them
    OpenClawStatus status;
    std::optional<QByteArray> writtenByStart = {};
  } cases[] = {
      {"not installed", kCredentialOnly, false, false, 1, {kInstall}, {{kSetMode, kEnableChat}},
       {kSetMode, kEnableChat, kSetMode, kEnableChat}, OpenClawStatus::ready},
      {"installed", kCredentialOnly, true, false, 1, {QStringLiteral("openclaw gateway start")}, {{kSetMode, kEnableChat}},
       {kSetMode, kEnableChat, kSetMode, kEnableChat}, OpenClawStatus::ready},
      {"never up", kComplete, false, false, 0, {kInstall, kRun}, {{}, {}}, {}, OpenClawStatus::installedServiceDown},
      {"never up, no credential", kNoCredential, false, false, 0, {kInstall, kRun},
       {{kAuthMode, kAuthToken}, {kAuthMode, kAuthToken, kAuthMode, kAuthToken}},
       {kAuthMode, kAuthToken, kAuthMode, kAuthToken}, OpenClawStatus::installedServiceDown},
      {"mode refused", kNoMode, false, true, 2, {kInstall, kInstall}, {{kSetMode}, {kSetMode, kSetMode}},
       {kSetMode, kSetMode, kSetMode}, OpenClawStatus::ready},
      // The install writes a mode and a token but never the chat endpoint.
      {"no configuration until the install", std::nullopt, false, false, 1, {kInstall}, {{kAuthMode, kAuthToken}},
       {kAuthMode, kAuthToken, kEnableChat}, OpenClawStatus::ready,
       R"({"gateway":{"mode":"local","auth":{"mode":"token","token":"t0k"}}})"},
  };
  for (const auto& c : cases) {
    clearCalls();
    terminal.calls.clear();
    gateway.reset();
    manager.setGatewayURLForTesting(gatewayURL = closedPort());
    QFile::remove(OpenClawHome::path(QStringLiteral(".openclaw/openclaw.json")));
    if (c.config) OpenClawHome::writeConfig(*c.config);
    QFile::remove(OpenClawHome::path(QStringLiteral("service-installed")));
    if (c.serviceInstalled) OpenClawHome::write(QStringLiteral("service-installed"), "");
    QDir(OpenClawHome::path(QStringLiteral(".openclaw/logs"))).removeRecursively();
    if (c.modeRefusal) {
      OpenClawHome::write(QStringLiteral(".openclaw/logs/gateway.err.log"),
                          "Gateway start blocked: set gateway.mode=local (current: unset)\n");
    }
    QList<QStringList> configAtStarts;
    terminal.onCommand = [&](const QString&) {
      configAtStarts.append(configCommands());
      if (configAtStarts.size() == 1 && c.writtenByStart) OpenClawHome::writeConfig(*c.writtenByStart);
      if (configAtStarts.size() == c.upOnStart) startTheGateway();
    };
    start();
    EXPECT_EQ(terminal.commands(), c.commands) << c.name;
    EXPECT_TRUE(terminal.calls[0].newWindow) << c.name;
    EXPECT_EQ(configAtStarts, c.configAtStarts) << c.name;
    EXPECT_EQ(configCommands(), c.configCommands) << c.name;
    EXPECT_EQ(manager.status(), c.status) << c.name;
  }
}

// Only a configuration with neither a token nor a password in any form gets one; a missing file is a
// configuration without one, an unreadable one is left alone.
TEST_F(GatewayLifecycleTest, ACredentialIsSavedWhereTheConfigurationHasNone) {
  const struct {
    std::optional<QByteArray> config;
    bool saved;
  } cases[] = {
      {std::nullopt, true},
      {"{}", true},
      {R"({"gateway":{"auth":{"mode":"token","token":""}}})", true},
      {R"({"gateway":{"auth":{"mode":"none"}}})", true},
      {R"({"gateway":{"auth":{"mode":"password","password":"secret"}}})", false},
      {R"({"gateway":{"auth":{"mode":"token","token":{"source":"store","id":"gateway"}}}})", false},
      {R"({"gateway":{"auth":{"mode":"password","password":{"source":"env","id":"GATEWAY_PASSWORD"}}}})", false},
      {"{gateway", false},
  };
  QStringList tokens;
  for (const auto& c : cases) {
    clearCalls();
    QFile::remove(OpenClawHome::path(QStringLiteral(".openclaw/openclaw.json")));
    if (c.config) OpenClawHome::writeConfig(*c.config);
    awaitTask(manager.ensureGatewayCredential());
    const QStringList calls = OpenClawHome::calls();
    EXPECT_EQ(configCommands(), c.saved ? (QStringList{kAuthMode, kAuthToken}) : QStringList())
        << c.config.value_or("<no file>").toStdString();
    if (c.saved && calls.size() == 2) tokens.append(kToken.match(calls[1]).captured());
  }
  tokens.removeDuplicates();
  EXPECT_EQ(tokens.size(), 4) << "each saved token is new";
}

// A tool that refuses the token and quotes it back in its error: the failure
// is logged, the token never.
TEST_F(GatewayLifecycleTest, ARefusedTokenIsLoggedWithoutTheToken) {
  OpenClawHome::write(QStringLiteral("fakebin/openclaw"),
                      "#!/bin/sh\necho \"openclaw $*\" >> \"$HOME/calls.log\"\necho \"invalid value: $*\" >&2\nexit 1\n",
                      true);
  LogCapture log;
  awaitTask(manager.ensureGatewayCredential());
  const QStringList calls = OpenClawHome::calls();
  ASSERT_EQ(calls.size(), 2);
  const QString token = kToken.match(calls[1]).captured();
  ASSERT_FALSE(token.isEmpty());
  const QStringList failures = log.texts(QStringLiteral("OpenClaw")).filter(QStringLiteral("configuration command failed"));
  ASSERT_EQ(failures.size(), 2) << log.texts(QStringLiteral("OpenClaw")).join(u'\n').toStdString();
  EXPECT_TRUE(failures[1].contains(QStringLiteral("<secret>"))) << failures[1].toStdString();
  for (const LogCapture::Message& message : log.messages()) EXPECT_FALSE(message.text.contains(token));
}

TEST_F(GatewayLifecycleTest, InstallOverAnInstallationDoesNotConfigure) {
  OpenClawHome::writeConfig("{}");
  awaitTask(manager.refreshStatus());
  manager.installOpenClaw();
  QTest::qWait(600);  // more than the watch's twenty passes
  EXPECT_TRUE(configCommands().isEmpty());
}

TEST_F(GatewayLifecycleTest, InstallConfiguresOnceWhenTheToolAppears) {
  QDir(OpenClawHome::path(QStringLiteral(".openclaw"))).removeRecursively();
  QFile::remove(OpenClawHome::path(QStringLiteral("fakebin/openclaw")));
  awaitTask(manager.refreshStatus());
  ASSERT_EQ(manager.status(), OpenClawStatus::notInstalled);
  terminal.onCommand = [](const QString&) {  // what the installer leaves behind
    OpenClawHome::makeConfigFolder();
    OpenClawHome::writeConfig(R"({"gateway":{"mode":"local"}})");
    OpenClawHome::installTool(QStringLiteral("fakebin/openclaw"));
  };
  manager.installOpenClaw();
  ASSERT_TRUE(waitUntil([&] { return !configCommands().isEmpty(); }));
  ASSERT_EQ(terminal.calls.size(), 1);
  EXPECT_TRUE(terminal.calls[0].command.startsWith(QStringLiteral("curl -fsSL --proto '=https' --tlsv1.2 https://")));
  EXPECT_EQ(manager.status(), OpenClawStatus::installedServiceDown);
  QTest::qWait(400);  // the watch has ended: later passes would run the command again
  EXPECT_EQ(configCommands(), QStringList{kEnableChat});
}

TEST_F(GatewayLifecycleTest, UninstallAndStopWatchTheStatusChange) {
  startTheGateway();
  awaitTask(manager.refreshStatus());
  terminal.onCommand = [&](const QString&) { gateway.reset(); };
  manager.stopGateway();
  ASSERT_TRUE(waitUntil([&] { return manager.status() == OpenClawStatus::installedServiceDown; }));
  EXPECT_EQ(terminal.commands(), QStringList{QStringLiteral("openclaw gateway stop")});

  terminal.onCommand = [](const QString&) { QDir(OpenClawHome::path(QStringLiteral(".openclaw"))).removeRecursively(); };
  manager.uninstallOpenClaw();
  ASSERT_TRUE(waitUntil([&] { return manager.status() == OpenClawStatus::notInstalled; }));
  EXPECT_TRUE(terminal.commands().constLast().startsWith(QStringLiteral("openclaw uninstall --all --yes")));
}

// Without any terminal each button's command is tried once, the manager says so, and nothing waits
// for what never started.
TEST_F(GatewayLifecycleTest, WithoutATerminalNothingWaitsForOne) {
  OpenClawHome::writeConfig(kComplete);
  awaitTask(manager.refreshStatus());
  terminal.available = false;
  QSignalSpy statuses(&manager, &OpenClawManager::statusChanged);
  for (const std::function<void()>& press : std::initializer_list<std::function<void()>>{
           [&] { manager.installOpenClaw(); }, [&] { manager.uninstallOpenClaw(); }, [&] { manager.stopGateway(); }}) {
    terminal.calls.clear();
    press();
    ASSERT_TRUE(waitUntil([&] { return manager.isTerminalIdle(); }));
    EXPECT_EQ(terminal.calls.size(), 1);
    EXPECT_TRUE(manager.terminalUnavailable());
  }
  QTest::qWait(100);  // longer than a scaled pass of any watch
  EXPECT_EQ(statuses.size(), 0) << "a watch ran after a window that never opened";

  terminal.calls.clear();
  start();
  EXPECT_EQ(terminal.commands(), QStringList{kInstall}) << "no fallback window";

  terminal.available = true;  // a terminal that appears later takes the note away
  manager.stopGateway();
  ASSERT_TRUE(waitUntil([&] { return !manager.terminalUnavailable(); }));
}

// The real tool (VELTRINE_TEST_OPENCLAW) writes its mode refusal to its daily log, not to
// ~/.openclaw/logs/gateway.err.log; the start must see it there and start again after the fix.
TEST_F(GatewayLifecycleTest, TheRealToolsRefusalIsSeenWhereItWritesIt) {
  REQUIRE_REAL_OPENCLAW();
  const QString tool = realOpenClawFolder();
  const OpenClawToolLock toolLog(std::chrono::seconds(130));
  // The configuration commands reach only the fake tool: the gateway still finds no mode.
  OpenClawHome::writeConfig(kNoMode);
  int starts = 0;
  terminal.onCommand = [&](const QString&) {
    if (++starts > 1) return startTheGateway();
    QProcess real;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), tool + QStringLiteral("/bin:") + environment.value(QStringLiteral("PATH")));
    real.setProcessEnvironment(environment);
    real.setProcessChannelMode(QProcess::MergedChannels);
    real.start(tool + QStringLiteral("/bin/openclaw"), {QStringLiteral("gateway"), QStringLiteral("run")});
    real.waitForFinished(120'000);
    const QString output = QString::fromUtf8(real.readAll());
    EXPECT_TRUE(output.contains(QStringLiteral("gateway.mode"))) << output.toStdString();
  };
  start(std::chrono::minutes(2));
  EXPECT_EQ(terminal.commands(), (QStringList{kInstall, kInstall}));
  EXPECT_FALSE(QFile::exists(OpenClawHome::path(QStringLiteral(".openclaw/logs/gateway.err.log"))));
  EXPECT_EQ(manager.status(), OpenClawStatus::ready);

  gateway.reset();  // a refusal written before a start is not that start's
  manager.setGatewayURLForTesting(gatewayURL = closedPort());
  terminal.calls.clear();
  terminal.onCommand = {};
  start();
  EXPECT_EQ(terminal.commands(), (QStringList{kInstall, QStringLiteral("openclaw gateway run")}));
}
