#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "localization/servermessages.h"
#include "onboarding/authviewmodel.h"
#include "pipeline/recordingresultstore.h"
#include "service/transporterror.h"
#include "signintest.h"

#include <QSignalSpy>

#include <algorithm>
#include <QTcpServer>
#include <QTest>

namespace {

using SignInFlowTest = SignInTest;

const QByteArray kSignedIn = R"({"token":"tok-1","email":"ann@example.com","tier":"pro","is_new_user":false})";

TEST_F(SignInFlowTest, SendCodeSendsTheAddressAsTypedOrRefusesAnEmptyOne) {
  service.route("POST", apiPath("/auth/send-code"), ScriptedResponse::json(200, "{}"));
  const struct {
    QString typed;
    bool sent;
  } cases[] = {
      {QString(), false},
      {QStringLiteral("   "), true},
      {QStringLiteral("Ann.Lee@Example.COM"), true},
      {QStringLiteral(" ann@example.com "), true},
  };
  for (const auto& c : cases) {
    service.clearRequests();
    AuthViewModel vm;
    vm.setEmail(c.typed);
    awaitTask(vm.sendCode());
    EXPECT_FALSE(vm.isLoading());
    EXPECT_EQ(vm.codeSent(), c.sent) << c.typed.toStdString();
    if (!c.sent) {
      EXPECT_EQ(vm.errorMessage(), currentStrings().enterEmail);
      EXPECT_EQ(service.requestCount(), 0);
      continue;
    }
    EXPECT_EQ(vm.errorMessage(), std::nullopt);
    ASSERT_EQ(service.requestCount(), 1);
    const RecordedRequest request = service.lastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, apiPath("/auth/send-code"));
    EXPECT_EQ(request.header("Content-Type"), "application/json");
    EXPECT_EQ(bodyOf(request), QJsonObject({{QStringLiteral("email"), c.typed}}));
  }
}

TEST_F(SignInFlowTest, LoadingIsTrueExactlyWhileTheRequestIsOut) {
  service.route("POST", apiPath("/auth/send-code"), ScriptedResponse::json(200, "{}"));
  AuthViewModel vm;
  vm.setEmail(QStringLiteral("ann@example.com"));
  QList<bool> loading;
  QObject::connect(&vm, &AuthViewModel::isLoadingChanged, [&] { loading << vm.isLoading(); });
  auto task = vm.sendCode();
  EXPECT_TRUE(vm.isLoading());
  awaitTask(std::move(task));
  EXPECT_EQ(loading, QList<bool>({true, false}));
}

TEST_F(SignInFlowTest, VerifyWithoutInviteSignsInAndStartsBothFetchesAfterwards) {
  // Failing fetches change nothing, so the account stays as the sign-in left it.
  service.route("GET", apiPath("/config/recording"), ScriptedResponse::json(500, "{}"));
  service.route("GET", apiPath("/config/plan"), ScriptedResponse::json(500, "{}"));
  const struct {
    QByteArray answer;
    QString tier;
  } cases[] = {
      {kSignedIn, QStringLiteral("pro")},
      {R"({"token":"tok-1","email":"ann@example.com"})", QStringLiteral("trial")},
      {R"({"token":"tok-1","email":"ann@example.com","tier":""})", QStringLiteral("trial")},
  };
  for (const auto& c : cases) {
    AuthStore::shared().clearSession();
    service.clearRequests();
    service.enqueue("POST", apiPath("/auth/verify"), ScriptedResponse::json(200, c.answer));
    RecordingResultStore::shared().update(QStringLiteral("heard"), QStringLiteral("before"), QStringLiteral("old"));
    LogCapture log;

    AuthViewModel vm;
    vm.setEmail(QStringLiteral("Ann@Example.com"));
    vm.setCode(QStringLiteral(" 123456"));
    awaitTask(vm.verifyCode());

    EXPECT_EQ(bodyOf(service.requests().first()),
              QJsonObject({{QStringLiteral("email"), QStringLiteral("Ann@Example.com")},
                           {QStringLiteral("code"), QStringLiteral(" 123456")}}));
    EXPECT_EQ(AuthStore::shared().token(), QStringLiteral("tok-1"));
    EXPECT_EQ(AuthStore::shared().email(), QStringLiteral("ann@example.com"));
    EXPECT_EQ(AuthStore::shared().tier(), c.tier);
    EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), std::nullopt);
    EXPECT_FALSE(vm.showInviteStep());
    EXPECT_FALSE(vm.isLoading());
    EXPECT_EQ(vm.errorMessage(), std::nullopt);
    EXPECT_EQ(RecordingResultStore::shared().result(), QString());
    EXPECT_EQ(RecordingResultStore::shared().transcript(), QString());
    EXPECT_EQ(RecordingResultStore::shared().errorMessage(), std::nullopt);

    // Both fetches start, in this order, for the account just signed in.
    ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 3; }));
    EXPECT_EQ(fetchesStarted(log), bothFetches());
    for (const RecordedRequest& request : service.requests().mid(1)) {
      EXPECT_EQ(request.header("Authorization"), "Bearer tok-1") << request.path.toStdString();
    }
    QList<QByteArray> fetched = paths().mid(1);
    std::sort(fetched.begin(), fetched.end());
    EXPECT_EQ(fetched, QList<QByteArray>({apiPath("/config/plan"), apiPath("/config/recording")}));
    ASSERT_TRUE(waitUntil([&] { return log.texts(QStringLiteral("AppDelegate")).size() >= 4; }));
  }
}

TEST_F(SignInFlowTest, TheTokenIsStoredAfterTheAccountItNames) {
  service.route("POST", apiPath("/auth/verify"), ScriptedResponse::json(200, kSignedIn));
  AuthViewModel vm;
  vm.setEmail(QStringLiteral("ann@example.com"));
  vm.setCode(QStringLiteral("1"));
  std::optional<QString> emailWhenSignedIn;
  QObject::connect(&AuthStore::shared(), &AuthStore::tokenChanged,
                   [&] { emailWhenSignedIn = AuthStore::shared().email(); });
  awaitTask(vm.verifyCode());
  EXPECT_EQ(emailWhenSignedIn, QStringLiteral("ann@example.com"));
}

TEST_F(SignInFlowTest, AnAnswerAskingForAnInviteStoresOnlyTheTypedAddress) {
  service.route("POST", apiPath("/auth/verify"),
                ScriptedResponse::json(
                    200, R"({"token":"tok-new","email":"other@example.com","tier":"pro","require_invite":true})"));
  AuthViewModel vm;
  vm.setEmail(QStringLiteral("New@Example.com"));
  vm.setCode(QStringLiteral("654321"));
  QSignalSpy tokenChanges(&AuthStore::shared(), &AuthStore::tokenChanged);
  LogCapture log;
  awaitTask(vm.verifyCode());
  QTest::qWait(50);
  EXPECT_EQ(AuthStore::shared().token(), std::nullopt);
  EXPECT_EQ(tokenChanges.count(), 0);
  EXPECT_EQ(AuthStore::shared().email(), std::nullopt);
  EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), QStringLiteral("New@Example.com"));
  EXPECT_TRUE(vm.showInviteStep());
  EXPECT_FALSE(vm.isLoading());
  EXPECT_TRUE(fetchesStarted(log).isEmpty());
  EXPECT_EQ(service.requestCount(), 1);
}

TEST_F(SignInFlowTest, VerifyRefusesAnEmptyCodeWithoutARequest) {
  AuthViewModel vm;
  vm.setEmail(QStringLiteral("ann@example.com"));
  awaitTask(vm.verifyCode());
  EXPECT_EQ(vm.errorMessage(), currentStrings().enterCode);
  EXPECT_FALSE(vm.isLoading());
  EXPECT_EQ(service.requestCount(), 0);
}

// Every answer the service may give instead: the message the user reads, for
// both requests, with what was typed and the stage kept.
TEST_F(SignInFlowTest, EveryServiceErrorShowsItsMessageAndKeepsTheStage) {
  const struct {
    ScriptedResponse answer;
    QString message;
  } cases[] = {
      {serviceError(400, "INVALID_CODE"), localizedServerError(QStringLiteral("INVALID_CODE"))},
      {serviceError(429, "SEND_CODE_TOO_FREQUENT"), currentStrings().errorSendCodeTooFrequent},
      {serviceError(400, "DISPOSABLE_EMAIL"), currentStrings().errorDisposableEmail},
      {serviceError(403, "REGISTRATION_CLOSED"), currentStrings().errorRegistrationClosed},
      {serviceError(403, "DEVICE_LIMIT_REACHED"), currentStrings().errorDeviceLimitReached},
      {serviceError(403, "IP_LIMIT_REACHED"), currentStrings().errorIpLimitReached},
      {serviceError(403, "REG_LIMIT_REACHED"), currentStrings().errorIpLimitReached},
      {serviceError(403, "USER_BANNED"), currentStrings().errorUserBanned},
      {serviceError(400, "NO_SUCH_CODE_IN_THE_TABLE"), currentStrings().errorUnknown},
      {ScriptedResponse::json(401, "{}"), currentStrings().errorUnauthorized},
      {ScriptedResponse::text(502, "Bad Gateway"), currentStrings().errorUnknown},
      {ScriptedResponse::json(200, "not json"), currentStrings().errorDecode},
  };
  for (const auto& c : cases) {
    service.route("POST", apiPath("/auth/send-code"), c.answer);
    service.route("POST", apiPath("/auth/verify"), c.answer);

    AuthViewModel vm;
    vm.setEmail(QStringLiteral("ann@example.com"));
    awaitTask(vm.sendCode());
    EXPECT_EQ(vm.errorMessage(), c.message) << c.answer.body.toStdString();
    EXPECT_FALSE(vm.codeSent());
    EXPECT_FALSE(vm.isLoading());

    AuthViewModel verifying;
    verifying.setEmail(QStringLiteral("ann@example.com"));
    verifying.setCode(QStringLiteral("000000"));
    awaitTask(verifying.verifyCode());
    EXPECT_EQ(verifying.errorMessage(), c.message) << c.answer.body.toStdString();
    EXPECT_FALSE(verifying.isLoading());
    EXPECT_EQ(verifying.email(), QStringLiteral("ann@example.com"));
    EXPECT_EQ(verifying.code(), QStringLiteral("000000"));
    EXPECT_FALSE(verifying.showInviteStep());
    EXPECT_EQ(AuthStore::shared().token(), std::nullopt);
  }
}

TEST_F(SignInFlowTest, AnUnreachableServiceShowsTheNetworkStacksDescription) {
  // A port that was free a moment ago: the connection is refused.
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
  const quint16 port = probe.serverPort();
  probe.close();
  qputenv("VELTRINE_SERVICE_ORIGIN", QByteArray("http://127.0.0.1:") + QByteArray::number(port));

  AuthViewModel vm;
  vm.setEmail(QStringLiteral("ann@example.com"));
  awaitTask(vm.sendCode());
  ASSERT_TRUE(vm.errorMessage().has_value());
  EXPECT_FALSE(vm.errorMessage()->isEmpty());
  EXPECT_NE(vm.errorMessage(), currentStrings().errorUnknown);
  EXPECT_FALSE(vm.codeSent());
  EXPECT_FALSE(vm.isLoading());
}

TEST_F(SignInFlowTest, TheErrorStaysWhileTypingAndGoesWithResetOrTheNextRequest) {
  service.route("POST", apiPath("/auth/send-code"), ScriptedResponse::json(200, "{}"));
  service.enqueue("POST", apiPath("/auth/verify"), serviceError(400, "INVALID_CODE"));
  AuthViewModel vm;
  vm.setEmail(QStringLiteral("ann@example.com"));
  awaitTask(vm.sendCode());
  vm.setCode(QStringLiteral("111111"));
  awaitTask(vm.verifyCode());
  const QString shown = currentStrings().errorInvalidCode;
  ASSERT_EQ(vm.errorMessage(), shown);

  vm.setCode(QStringLiteral("222222"));
  EXPECT_EQ(vm.errorMessage(), shown);
  // Worded when it happened: a language switch leaves the stored text alone.
  LanguageManager::shared().setCurrent(AppLanguage::ru);
  EXPECT_EQ(vm.errorMessage(), shown);

  vm.reset();
  EXPECT_EQ(vm.errorMessage(), std::nullopt);
  EXPECT_EQ(vm.code(), QString());
  EXPECT_FALSE(vm.codeSent());
  EXPECT_FALSE(vm.showInviteStep());
  EXPECT_EQ(vm.email(), QStringLiteral("ann@example.com"));
}

TEST_F(SignInFlowTest, ResetLeavesThePendingInviteAddressToTheInviteStep) {
  AuthStore::shared().setPendingInviteEmail(QStringLiteral("new@example.com"));
  AuthViewModel vm;
  vm.reset();
  EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), QStringLiteral("new@example.com"));
}

TEST_F(SignInFlowTest, AModelGoneBeforeTheAnswerIsLeftAloneButTheSignInStands) {
  service.route("POST", apiPath("/auth/verify"),
                [] {
                  ScriptedResponse answer = ScriptedResponse::json(200, kSignedIn);
                  answer.delay = std::chrono::milliseconds(100);
                  return answer;
                }());
  auto* vm = new AuthViewModel;
  vm->setEmail(QStringLiteral("ann@example.com"));
  vm->setCode(QStringLiteral("1"));
  auto task = vm->verifyCode();
  delete vm;
  awaitTask(std::move(task));
  EXPECT_EQ(AuthStore::shared().token(), QStringLiteral("tok-1"));
}

}  // namespace
