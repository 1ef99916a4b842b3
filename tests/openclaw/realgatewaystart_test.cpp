#include "awaittask.h"
#include "core/clock.h"
#include "faketerminaldriver.h"
#include "openclaw/openclawconfig.h"
#include "openclaw/openclawgatewayclient.h"
#include "openclaw/openclawinstallation.h"
#include "openclawhome.h"
#include "openclawtest.h"
#include "platform/linux/processancestry.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Asks the gateway at `gateway` for `message` as the relay does, and gives the message of the error
// event in its stream, read from the lines as they came; nothing when the stream carries none.
std::optional<QString> errorEventOfTheGateway(const QUrl& gateway, const QString& token, const QString& message) {
  httplib::Client client(gateway.host().toStdString(), gateway.port());
  client.set_read_timeout(30, 0);
  const httplib::Headers headers{{"Authorization", "Bearer " + token.toStdString()}};
  const httplib::Result result = client.Post("/v1/chat/completions", headers,
                                             OpenClawGatewayClient::requestBody(message).toStdString(), "application/json");
  if (!result) return std::nullopt;
  for (const QByteArray& line : QByteArray::fromStdString(result->body).split('\n')) {
    if (!line.startsWith("data: ")) continue;
    const QJsonValue error = QJsonDocument::fromJson(line.mid(6)).object().value(QStringLiteral("error"));
    if (error.isObject()) return error.toObject().value(QStringLiteral("message")).toString();
    if (error.isString()) return error.toString();
  }
  return std::nullopt;
}

// Runs each command that would go to a terminal window in the login shell, as the window would, each in
// a process group of its own, and ends all they started (a gateway with its workers) when asked or
// destroyed. The gateway outlives the shell that started it and makes workers in sessions of their own:
// this process adopts whatever they leave behind, so that it finds them all.
class WindowShells {
 public:
  WindowShells() { ::prctl(PR_SET_CHILD_SUBREAPER, 1); }
  ~WindowShells() { endAll(); }

  void run(const QString& command) {
    auto process = std::make_unique<QProcess>();
    process->setChildProcessModifier([] { ::setsid(); });
    process->setStandardOutputFile(logPath(processes_.size()));
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(QStringLiteral("/bin/sh"), {QStringLiteral("-l"), QStringLiteral("-c"), command});
    if (process->waitForStarted(10'000)) groups_.append(process->processId());
    processes_.push_back(std::move(process));
  }

  void endAll() {
    // On SIGTERM a gateway ends its workers; what is left after that is killed.
    for (const qint64 group : std::as_const(groups_)) ::kill(-static_cast<pid_t>(group), SIGTERM);
    if (!waitUntil([this] { return descendants().isEmpty(); }, 15s)) {
      for (const qint64 pid : descendants()) ::kill(static_cast<pid_t>(pid), SIGKILL);
      waitUntil([this] { return descendants().isEmpty(); }, 5s);
    }
    groups_.clear();
    processes_.clear();
  }

  // What every window showed, for a failure's message.
  std::string output() const {
    QByteArray all;
    for (size_t i = 0; i < processes_.size(); ++i) {
      QFile log(logPath(i));
      if (log.open(QIODevice::ReadOnly)) all += "--- window " + QByteArray::number(qulonglong(i)) + "\n" + log.readAll().right(3000);
    }
    return all.toStdString();
  }

 private:
  static QString logPath(size_t index) { return TestEnvironment::root() + QStringLiteral("/window-%1.log").arg(index); }

  // The living processes below this one; the ended ones it adopted are reaped on the way (the shells
  // are QProcess's to reap).
  QList<qint64> descendants() const {
    const qint64 self = ::getpid();
    QList<qint64> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
      bool isPid = false;
      const qint64 pid = entry.toLongLong(&isPid);
      if (!isPid || pid == self) continue;
      const QList<qint64> line = ProcessAncestry::lineOf(pid);
      if (line.isEmpty() || ProcessAncestry::parentOf(line.constLast()) != self) continue;
      if (hasEnded(pid)) {
        if (!groups_.contains(pid)) ::waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG);
        continue;
      }
      found.append(pid);
    }
    return found;
  }

  // A zombie: ended, not yet reaped.
  static bool hasEnded(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 1).trimmed().startsWith('Z');
  }

  QList<qint64> groups_;  // each shell's process, which leads its group
  std::vector<std::unique_ptr<QProcess>> processes_;
};

// The real tool in an installation whose home has no configuration yet, on a machine without a service
// manager the tool can use: `gateway install` refuses there (as it does for any home but the account's),
// and the start falls back to `gateway run`. The gateway listens on a free port of its own.
class RealGatewayStartTest : public OpenClawTest {
 protected:
  void SetUp() override {
    OpenClawTest::SetUp();
    REQUIRE_REAL_OPENCLAW();
    // The other test of the real tool may hold it for a minute or two under load. The deadline counts from
    // our turn, and ends well before the test runner's time-out, so that the gateway is always ended here.
    toolLog.emplace(120s);
    deadline = std::chrono::steady_clock::now() + 150s;
    OpenClawHome::write(QStringLiteral(".profile"),
                        u"PATH=\"$HOME/fakebin:%1/bin:$PATH\"\nexport PATH\n"_qs.arg(realOpenClawFolder()).toUtf8());
    OpenClawHome::makeConfigFolder();
    const QUrl url = closedPort();
    manager.setGatewayURLForTesting(url);
    qputenv("OPENCLAW_GATEWAY_PORT", QByteArray::number(url.port()));
    // The start's waits shrink; the test waits for the gateway itself.
    Clock::setTimeScaleForTesting(0.1);
    terminal.onCommand = [this](const QString& command) { shells.run(command); };
  }
  void TearDown() override {
    shells.endAll();
    qunsetenv("OPENCLAW_GATEWAY_PORT");
    OpenClawTest::TearDown();
  }

  // At most `limit`, and never past the deadline.
  std::chrono::milliseconds within(std::chrono::milliseconds limit) const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return std::clamp(left, std::chrono::milliseconds(0), limit);
  }

  std::optional<OpenClawToolLock> toolLog;
  std::chrono::steady_clock::time_point deadline;
  FakeTerminalDriver terminal;
  WindowShells shells;
};

}  // namespace

// The home page's start, then a spoken agent command: the gateway takes the credential the start saved,
// and the relay gets the gateway's own stream (offline, its model provider's error), never a 401 for a
// token made for that run alone nor a 404 for a chat endpoint left off.
TEST_F(RealGatewayStartTest, AGatewayStartedFromAHomeWithoutConfigurationAnswersTheRelay) {
  awaitTask(manager.refreshStatus(), 30s);
  ASSERT_EQ(manager.status(), OpenClawStatus::installedServiceDown) << "the home page offers the start";

  ASSERT_TRUE(manager.requestGatewayStart());
  ASSERT_TRUE(waitUntil([&] { return !manager.isStartingGateway(); }, within(60s))) << shells.output();
  EXPECT_EQ(terminal.commands(), (QStringList{QStringLiteral("openclaw gateway install"), QStringLiteral("openclaw gateway run")}));
  ASSERT_TRUE(waitUntil([&] {
    awaitTask(manager.refreshStatus(), 10s);
    return manager.status() == OpenClawStatus::ready;
  }, within(40s))) << shells.output();

  std::optional<QString> reply, failure;
  manager.handleVoiceCommand(QStringLiteral("/status"), [&](const QString& text) { reply = text; },
                             [&](const QString& message) { failure = message; });
  ASSERT_TRUE(waitUntil([&] { return reply || failure; }, within(20s)));
  const QString answer = reply.value_or(failure.value_or(QString()));
  EXPECT_FALSE(answer.contains(QRegularExpression(QStringLiteral("HTTP [0-9]+")))) << answer.toStdString();
  EXPECT_FALSE(answer.contains(QStringLiteral("无法读取"))) << answer.toStdString();

  const std::optional<OpenClawConfig> config = OpenClawConfig::read(OpenClawInstallation::configFilePath());
  ASSERT_TRUE(config);
  EXPECT_TRUE(config->chatCompletionsEnabled());
  const std::optional<GatewayCredential> credential = config->credential();
  ASSERT_TRUE(credential);
  EXPECT_EQ(credential->mode, QStringLiteral("token"));
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{48}$")).match(credential->secret).hasMatch());

  // Offline, the gateway's agent has no model to ask, and its stream says so in an error event: the
  // relay fails with the gateway's own words, never an empty answer that hides them.
  const std::optional<QString> gatewaysError = errorEventOfTheGateway(manager.gatewayURL(), credential->secret, QStringLiteral("/status"));
  ASSERT_TRUE(gatewaysError && !gatewaysError->trimmed().isEmpty()) << "the gateway streams an error event offline";
  EXPECT_FALSE(reply) << "answered \"" << reply.value_or(QString()).toStdString() << "\" where the gateway sent "
                      << gatewaysError->toStdString();
  ASSERT_TRUE(failure);
  EXPECT_TRUE(failure->endsWith(*gatewaysError)) << failure->toStdString() << " | the gateway: " << gatewaysError->toStdString();
}
