// The configuration fetches against a fake service: what they set, and
// which failures sign the account out.
#include "mainwindow/configfetcher.h"

#include "awaittask.h"
#include "fakeservice.h"
#include "logcapture.h"
#include "pipeline/audiorecorder.h"
#include "service/authstore.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class ConfigFetcherTest : public ::testing::Test {
 protected:
  ConfigFetcherTest() {
    qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8());
    signIn(QStringLiteral("a@example.com"), QStringLiteral("tok-a"));
  }

  static void signIn(const QString& email, const QString& token) {
    AuthStore::shared().setEmail(email);
    AuthStore::shared().setToken(token);
  }

  static QByteArray apiPath(const char* path) { return QByteArray("/veltrine/api/v1") + path; }

  FakeService service;
};

ScriptedResponse noAnswer() {
  ScriptedResponse closed;
  closed.closeWithoutAnswer = true;
  return closed;
}

TEST_F(ConfigFetcherTest, OnlyARejectedAccountSignsOutAndEveryFailureIsLogged) {
  const struct {
    const char* name;
    ScriptedResponse answer;
    bool signsOut;
  } failures[] = {
      {"unauthorized", ScriptedResponse::json(401, "{}"), true},
      {"banned", ScriptedResponse::json(403, R"({"code":"USER_BANNED","message":"no"})"), true},
      {"other forbidden", ScriptedResponse::json(403, R"({"code":"PROVIDER_ERROR","message":"no"})"), false},
      {"server error", ScriptedResponse::json(500, "{}"), false},
      {"not decodable", ScriptedResponse::json(200, "[]"), false},
      {"no answer", noAnswer(), false},
  };
  const struct {
    const char* operation;
    const char* path;
    std::function<QCoro::Task<void>()> run;
  } fetches[] = {
      {"fetchRecordingConfig", "/config/recording", &ConfigFetcher::fetchRecordingConfig},
      {"fetchUserPlanInfo", "/config/plan", &ConfigFetcher::fetchUserPlanInfo},
  };
  for (const auto& failure : failures) {
    for (const auto& fetch : fetches) {
      SCOPED_TRACE(std::string(failure.name) + ", " + fetch.operation);
      signIn(QStringLiteral("a@example.com"), QStringLiteral("tok-a"));
      AuthStore::shared().setTier(QStringLiteral("pro"));
      service.route("GET", apiPath(fetch.path), failure.answer);
      LogCapture log;
      awaitTask(fetch.run());
      EXPECT_EQ(AuthStore::shared().isSignedIn(), !failure.signsOut);
      EXPECT_EQ(AuthStore::shared().tier(), failure.signsOut ? QStringLiteral("trial") : QStringLiteral("pro"));
      bool logged = false;
      for (const LogCapture::Message& message : log.messages()) {
        logged |= message.type == QtCriticalMsg && message.category.endsWith(QLatin1String(".AppDelegate")) &&
                  message.text.startsWith(QLatin1String(fetch.operation));
      }
      EXPECT_TRUE(logged) << log.texts(QStringLiteral("AppDelegate")).join(QLatin1Char('\n')).toStdString();
    }
  }
}

TEST_F(ConfigFetcherTest, StartupConfigNeverSignsOutAndSetsBothInviteSwitches) {
  service.route("GET", apiPath("/config/startup"), ScriptedResponse::json(401, "{}"));
  awaitTask(ConfigFetcher::fetchStartupConfig());
  EXPECT_TRUE(AuthStore::shared().isSignedIn());

  AuthStore::shared().setInviteCodeEnabled(false);
  AuthStore::shared().setShowInviteCodesEnabled(false);
  service.route("GET", apiPath("/config/startup"),
                ScriptedResponse::json(200, R"({"invite_code_enabled":true,"show_invite_codes_enabled":true})"));
  awaitTask(ConfigFetcher::fetchStartupConfig());
  EXPECT_TRUE(AuthStore::shared().inviteCodeEnabled());
  EXPECT_TRUE(AuthStore::shared().showInviteCodesEnabled());
  // The start-up configuration goes out without the account's token.
  EXPECT_FALSE(service.lastRequest().hasHeader("Authorization"));
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
  signIn(QStringLiteral("b@example.com"), QStringLiteral("tok-b"));
  awaitTask(std::move(planFetch));
  awaitTask(std::move(recordingFetch));
  EXPECT_EQ(AuthStore::shared().token(), QStringLiteral("tok-b"));
  EXPECT_EQ(AuthStore::shared().creditsTotal(), 0);
  EXPECT_EQ(AuthStore::shared().tier(), QStringLiteral("trial"));
}

}  // namespace
