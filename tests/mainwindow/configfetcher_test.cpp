#include "mainwindow/configfetcher.h"

#include "awaittask.h"
#include "fakeservice.h"
#include "logcapture.h"
#include "pipeline/audiorecorder.h"
#include "service/authstore.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A fake service the client points at (worked out once per process; each test
// runs in its own process), and a signed-in account.
class ConfigFetcherTest : public ::testing::Test {
 protected:
  ConfigFetcherTest() {
    qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8());
    AuthStore::shared().setEmail(QStringLiteral("a@example.com"));
    AuthStore::shared().setToken(QStringLiteral("tok-a"));
  }

  static QByteArray apiPath(const char* path) { return QByteArray("/veltrine/api/v1") + path; }

  FakeService service;
};

struct FailureCase {
  const char* name;
  ScriptedResponse answer;
  bool signsOut;
  const char* logged;  // the error-level line, after the operation's name
};

void PrintTo(const FailureCase& row, std::ostream* out) { *out << row.name; }

ScriptedResponse noAnswer() {
  ScriptedResponse closed;
  closed.closeWithoutAnswer = true;
  return closed;
}

const FailureCase kFailures[] = {
    {"Unauthorized", ScriptedResponse::json(401, "{}"), true, ": auth rejected, forcing logout"},
    {"Banned", ScriptedResponse::json(403, R"({"code":"USER_BANNED","message":"no"})"), true,
     ": auth rejected, forcing logout"},
    {"OtherForbidden", ScriptedResponse::json(403, R"({"code":"PROVIDER_ERROR","message":"no"})"), false, " failed: "},
    {"ServerError", ScriptedResponse::json(500, "{}"), false, " failed: "},
    {"NotDecodable", ScriptedResponse::json(200, "[]"), false, " failed: "},
    {"NoAnswer", noAnswer(), false, " failed: "},
};

struct Fetch {
  const char* operation;
  const char* path;
  std::function<QCoro::Task<void>()> run;
};

const Fetch kAccountFetches[] = {
    {"fetchRecordingConfig", "/config/recording", &ConfigFetcher::fetchRecordingConfig},
    {"fetchUserPlanInfo", "/config/plan", &ConfigFetcher::fetchUserPlanInfo},
};

class AccountFetchFailure : public ConfigFetcherTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(AccountFetchFailure, OnlyARejectedAccountSignsOutAndEveryFailureIsLogged) {
  const FailureCase& row = GetParam();
  for (const Fetch& fetch : kAccountFetches) {
    SCOPED_TRACE(fetch.operation);
    AuthStore::shared().setEmail(QStringLiteral("a@example.com"));
    AuthStore::shared().setToken(QStringLiteral("tok-a"));
    AuthStore::shared().setTier(QStringLiteral("pro"));
    service.route("GET", apiPath(fetch.path), row.answer);
    LogCapture log;

    awaitTask(fetch.run());

    EXPECT_EQ(AuthStore::shared().isSignedIn(), !row.signsOut);
    EXPECT_EQ(AuthStore::shared().tier(), row.signsOut ? QStringLiteral("trial") : QStringLiteral("pro"));
    bool found = false;
    for (const LogCapture::Message& message : log.messages()) {
      if (message.type == QtCriticalMsg && message.category.endsWith(QLatin1String(".AppDelegate")) &&
          message.text.startsWith(QLatin1String(fetch.operation) + QLatin1String(row.logged))) {
        found = true;
      }
    }
    EXPECT_TRUE(found) << log.texts(QStringLiteral("AppDelegate")).join(QLatin1Char('\n')).toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(ConfigFetcher, AccountFetchFailure, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(ConfigFetcherTest, StartupConfigNeverSignsOutAndSetsBothInviteSwitches) {
  service.route("GET", apiPath("/config/startup"), ScriptedResponse::json(401, "{}"));
  awaitTask(ConfigFetcher::fetchStartupConfig());
  EXPECT_TRUE(AuthStore::shared().isSignedIn());

  AuthStore::shared().setInviteCodeEnabled(false);
  AuthStore::shared().setShowInviteCodesEnabled(false);
  service.route("GET", apiPath("/config/startup"),
                ScriptedResponse::json(200, R"({"invite_code_enabled":true,"show_invite_codes_enabled":true})"));
  LogCapture log;
  awaitTask(ConfigFetcher::fetchStartupConfig());
  EXPECT_TRUE(AuthStore::shared().inviteCodeEnabled());
  EXPECT_TRUE(AuthStore::shared().showInviteCodesEnabled());
  EXPECT_TRUE(log.contains(QStringLiteral("AppDelegate"), QtInfoMsg,
                           QStringLiteral("fetchStartupConfig: inviteCodeEnabled=true")));
  // The start-up configuration goes out without the account's token.
  EXPECT_FALSE(service.lastRequest().hasHeader("Authorization"));
}

TEST_F(ConfigFetcherTest, RecordingConfigSetsTheLongestRecordingAndPlanFillsTheAccount) {
  service.route("GET", apiPath("/config/recording"), ScriptedResponse::json(200, R"({"max_duration_sec":180})"));
  service.route("GET", apiPath("/config/plan"),
                ScriptedResponse::json(200, R"({"tier":"pro","credits_total":500,"credits_remaining":420})"));
  LogCapture log;

  awaitTask(ConfigFetcher::fetchRecordingConfig());
  awaitTask(ConfigFetcher::fetchUserPlanInfo());

  EXPECT_EQ(AudioRecorder::shared().maxDuration(), 180.0);
  EXPECT_EQ(AuthStore::shared().tier(), QStringLiteral("pro"));
  EXPECT_EQ(AuthStore::shared().creditsRemaining(), 420);
  EXPECT_EQ(AuthStore::shared().creditsTotal(), 500);
  EXPECT_EQ(log.texts(QStringLiteral("AppDelegate")),
            (QStringList{QStringLiteral("fetchRecordingConfig: start"),
                         QStringLiteral("fetchRecordingConfig: got maxDurationSec=180"),
                         QStringLiteral("fetchRecordingConfig: maxDuration 60.000000 -> 180.000000"),
                         QStringLiteral("fetchUserPlanInfo: start"), QStringLiteral("fetchUserPlanInfo: remaining=420/500")}));
}

// An answer that arrives after the account changed belongs to the account
// that asked: it must not fill in another account's plan nor sign it out.
TEST_F(ConfigFetcherTest, AnswersForAnAccountThatLeftMeanwhileAreDropped) {
  ScriptedResponse plan = ScriptedResponse::json(200, R"({"tier":"pro","credits_total":500,"credits_remaining":420})");
  plan.delay = std::chrono::milliseconds(300);
  service.route("GET", apiPath("/config/plan"), plan);
  ScriptedResponse rejected = ScriptedResponse::json(401, "{}");
  rejected.delay = std::chrono::milliseconds(300);
  service.route("GET", apiPath("/config/recording"), rejected);

  auto planFetch = ConfigFetcher::fetchUserPlanInfo();
  auto recordingFetch = ConfigFetcher::fetchRecordingConfig();
  ASSERT_TRUE(service.waitForRequests(2));
  AuthStore::shared().clearSession();
  AuthStore::shared().setEmail(QStringLiteral("b@example.com"));
  AuthStore::shared().setToken(QStringLiteral("tok-b"));
  awaitTask(std::move(planFetch));
  awaitTask(std::move(recordingFetch));

  EXPECT_EQ(AuthStore::shared().token(), QStringLiteral("tok-b"));
  EXPECT_EQ(AuthStore::shared().creditsTotal(), 0);
  EXPECT_EQ(AuthStore::shared().tier(), QStringLiteral("trial"));
}

}  // namespace
