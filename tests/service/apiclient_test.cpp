#include "service/apiclient.h"

#include "localization/appstrings.h"
#include "serviceclienttest.h"
#include "service/errordescription.h"
#include "testenvironment.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

using APIClientTest = ServiceClientTest;

TEST_F(APIClientTest, HeadersFollowTheAccountKeyAndLanguageAndNothingCanBeInjected) {
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"hotwords":[]})"));
  const struct {
    AppLanguage language;
    std::optional<QString> token;
    const char* key;  // nullptr: none configured
    QByteArray languageValue;
    bool sendsToken, sendsKey;
  } cases[] = {
      {AppLanguage::en, std::nullopt, "k", "en", false, true},
      {AppLanguage::yue, QStringLiteral("t1"), "k", "yue", true, true},
      {AppLanguage::zhHant, std::nullopt, nullptr, "zh-Hant", false, false},
      // A line break in a token or key would end the head early: the field is left out.
      {AppLanguage::ru, QStringLiteral("t\r\nX-Injected: 1"), "k\nX-Injected: 2", "ru", false, false},
      {AppLanguage::ko, QStringLiteral("t3"), "k", "ko", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.languageValue.toStdString());
    LanguageManager::shared().setCurrent(c.language);
    AuthStore::shared().setToken(c.token);
    c.key ? qputenv("VELTRINE_API_KEY", c.key) : qunsetenv("VELTRINE_API_KEY");
    awaitTask(APIClient::shared().fetchHotWords());
    const RecordedRequest request = service.lastRequest();
    EXPECT_FALSE(request.hasHeader("X-Injected"));
    EXPECT_EQ(request.header("Authorization"), c.sendsToken ? "Bearer " + c.token->toUtf8() : "");
    EXPECT_EQ(request.header("X-API-Key"), c.sendsKey ? c.key : "");
    EXPECT_EQ(request.header("X-Accept-Language"), c.languageValue);
  }
  // The startup configuration goes out without the token; the others with it.
  service.route("GET", apiPath("/config/startup"), ScriptedResponse::json(200, R"({"invite_code_enabled":false})"));
  awaitTask(APIClient::shared().fetchStartupConfig());
  EXPECT_FALSE(service.lastRequest().hasHeader("Authorization"));
}

// The error in short: its kind, or for an HTTP error the status, message, code and duration update.
std::string summary(const std::optional<APIError>& error) {
  if (!error) return "no error";
  if (error->kind() != APIError::Kind::httpError) return std::to_string(int(error->kind()));
  const auto& body = error->response();
  return QStringLiteral("%1 %2 %3 %4")
      .arg(error->statusCode())
      .arg(error->message(), body ? body->code : QStringLiteral("-"))
      .arg(body && body->configUpdate ? body->configUpdate->maxDurationSec.value_or(-1) : 0)
      .toStdString();
}

TEST_F(APIClientTest, EveryAnswerMapsOntoItsError) {
  const QByteArray banned = R"({"code":"USER_BANNED","message":"banned"})";
  const std::string decoding = std::to_string(int(APIError::Kind::decodingError));
  ScriptedResponse overCap;  // announced longer than the cap: not waited for
  overCap.raw = "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(APIClient::kMaxAnswerBytes + 1) + "\r\n\r\n{";
  const struct { ScriptedResponse answer; std::string error; } cases[] = {
      {ScriptedResponse::json(401, banned), std::to_string(int(APIError::Kind::unauthorized))},
      {ScriptedResponse::json(403, banned), std::to_string(int(APIError::Kind::userBanned))},
      {ScriptedResponse::json(403, R"({"code":"user_banned","message":"no"})"), "403 no user_banned 0"},
      {ScriptedResponse::text(500, "<html>oops</html>", "text/html"), "500 Unknown error - 0"},
      {ScriptedResponse::text(302, ""), "302 Unknown error - 0"},  // a redirection without a location
      {ScriptedResponse::json(429, R"({"code":"D","message":"m","config_update":{"max_duration_sec":30}})"), "429 m D 30"},
      {ScriptedResponse::json(422, R"({"code":"X","message":"m","config_update":{"max_duration_sec":"30"}})"),
       "422 Unknown error - 0"},
      {ScriptedResponse::json(200, R"({"code":"X","message":"m"})"), decoding},
      {ScriptedResponse::text(204, ""), decoding},
      {overCap, decoding},
  };
  for (const auto& c : cases) {
    service.enqueue("GET", apiPath("/hotwords"), c.answer);
    EXPECT_EQ(summary(failureOf<APIError>(APIClient::shared().fetchHotWords())), c.error);
  }
  // An empty answer takes any JSON at all, but JSON it must be.
  const SendCodeRequest code{QStringLiteral("a@b.c")};
  service.enqueue("POST", apiPath("/auth/send-code"), ScriptedResponse::text(204, ""));
  EXPECT_EQ(summary(failureOf<APIError>(APIClient::shared().post<EmptyResponse>(APIClient::sendCodeURL(), code))),
            decoding);
}

TEST_F(APIClientTest, IdentifiersStayOneSegmentOfThePath) {
  service.setDefaultResponse(ScriptedResponse::json(200, R"({"message":"ok"})"));
  const struct { const char* id; QByteArray target; } encoded[] = {
      {"a/b", "/veltrine/api/v1/hotwords/a%2Fb"},
      {"../config/plan", "/veltrine/api/v1/hotwords/..%2Fconfig%2Fplan"},
      {"x?y#z wörd%2F", "/veltrine/api/v1/hotwords/x%3Fy%23z%20w%C3%B6rd%252F"},
  };
  for (const auto& c : encoded) {
    awaitTask(APIClient::shared().deleteHotWord(QString::fromUtf8(c.id)));
    EXPECT_EQ(service.lastRequest().target, c.target) << c.id;
  }
  // Ids that no percent-encoding keeps in place are refused before anything is sent.
  service.clearRequests();
  for (const char* id : {"", ".", ".."}) {
    const auto error = failureOf<TransportError>(APIClient::shared().deletePersona(QString::fromLatin1(id)));
    ASSERT_TRUE(error) << '"' << id << '"';
    EXPECT_EQ(error->kind(), TransportError::Kind::badURL);
  }
  EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(APIClientTest, OnlyAnAnswerThatStallsPastTheTimeOutFails) {
  Clock::setTimeScaleForTesting(0.02);  // the 60-second time-out becomes 1.2 s
  ScriptedResponse slow = ScriptedResponse::json(200, "{}");
  slow.delay = std::chrono::milliseconds(100);
  service.enqueue("GET", apiPath("/config/plan"), slow);
  EXPECT_EQ(awaitTask(APIClient::shared().fetchUserPlanInfo()).tier, QStringLiteral("none"));
  ScriptedResponse stall;
  stall.stall = true;
  service.enqueue("GET", apiPath("/config/plan"), stall);
  const auto error = failureOf<TransportError>(APIClient::shared().fetchUserPlanInfo());
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind(), TransportError::Kind::timedOut);
}

// Every failure without an answer reads, in each interface language, as what
// happened; none of them sends its request twice.
TEST_F(APIClientTest, FailuresWithoutAnAnswerAreTransportErrorsInTheInterfaceLanguage) {
  AuthStore::shared().setToken(QStringLiteral("tok"));
  quint16 closedPort = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    closedPort = probe.serverPort();
  }
  QTcpServer plain;  // answers a TLS greeting in plain HTTP
  ASSERT_TRUE(plain.listen(QHostAddress::LocalHost));
  QObject::connect(&plain, &QTcpServer::newConnection, [&plain] {
    QTcpSocket* socket = plain.nextPendingConnection();
    socket->write("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
    socket->disconnectFromHost();
  });
  ScriptedResponse hangUp, garbage;
  hangUp.closeWithoutAnswer = true;
  garbage.raw = "SSH-2.0-OpenSSH_9.2\r\n\r\n";
  ScriptedResponse away = ScriptedResponse::text(302, "");
  away.headers.append({"Location", "http://localhost:" + QByteArray::number(closedPort) + "/x"});
  const QString hotwords = service.origin().toString() + QString::fromLatin1(apiPath("/hotwords"));
  const struct {
    const char* name;
    QString url;
    std::optional<ScriptedResponse> answer;
    QString AppStrings::*text;
  } rows[] = {
      {"refused", QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort), {}, &AppStrings::errorCannotConnect},
      {"no TLS", QStringLiteral("https://127.0.0.1:%1/x").arg(plain.serverPort()), {}, &AppStrings::errorSecureConnection},
      {"not http", QStringLiteral("ftp://127.0.0.1/x"), {}, &AppStrings::errorBadAddress},
      {"closed after reading", hotwords, hangUp, &AppStrings::errorConnectionLost},
      {"not HTTP", hotwords, garbage, &AppStrings::errorNetwork},
      {"sent to another origin", hotwords, away, &AppStrings::errorRedirectRefused},
  };
  for (const AppLanguage language : allAppLanguages()) {
    LanguageManager::shared().setCurrent(language);
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(row.name) + " in " + rawValue(language).toStdString());
      service.reset();
      if (row.answer) service.enqueue("GET", apiPath("/hotwords"), *row.answer);
      service.enqueue("GET", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"hotwords":[]})"));
      std::optional<QString> failure;
      try {
        if (row.answer) {
          awaitTask(APIClient::shared().fetchHotWords());
        } else {
          APIRequest request;
          request.url = QUrl(row.url);
          awaitTask(APIClient::shared().exchange(request));
        }
      } catch (const std::exception& error) {
        failure = describeError(error);
      }
      EXPECT_EQ(failure, stringsFor(language).*row.text);
      EXPECT_EQ(service.requestCount(), row.answer ? 1 : 0);
    }
  }
}

TEST(APIClientOrigin, APlainHttpOriginElsewhereSendsNothingAndSaysWhy) {
  // The address is worked out once per process: this test needs a process of its own.
  qputenv("VELTRINE_SERVICE_ORIGIN", "http://service.example.com");
  if (!APIClient::baseURL().isEmpty()) GTEST_SKIP() << "the service address was worked out before";
  LanguageManager::shared().setCurrent(AppLanguage::zh);
  const auto error = failureOf<TransportError>(APIClient::shared().fetchHotWords());
  const QString shown = error ? describeError(*error) : QString();
  LanguageManager::shared().setCurrent(AppLanguage::en);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind(), TransportError::Kind::insecureOrigin);
  EXPECT_EQ(shown, stringsFor(AppLanguage::zh).errorInsecureAddress);
}

TEST_F(APIClientTest, AnUploadGoesOutWithAFreshBoundaryAndTheAnswerDecodes) {
  const QByteArray audio = QByteArray(64000, '\x01');
  QFile file(TestEnvironment::root() + QStringLiteral("/recording.wav"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(audio);
  file.close();
  const QString path = file.fileName();
  service.route("POST", apiPath("/audio/process"),
                ScriptedResponse::json(200, R"({"operation":"transcribe","action_type":"paste","transcript":"hello",
                                                "result":"Hello.","credits_remaining":41})"));
  for (int upload = 0; upload < 2; ++upload) {
    const AudioProcessResponse answer = awaitTask(APIClient::shared().processAudio(
        path, QStringLiteral("transcribe"), std::nullopt, QStringList{QStringLiteral("clip")}));
    EXPECT_EQ(answer.creditsRemaining, 41);
  }
  const QList<RecordedRequest> requests = service.requests();
  ASSERT_EQ(requests.size(), 2);
  QList<QByteArray> boundaries;
  for (const RecordedRequest& request : requests) {
    const QByteArray type = request.header("Content-Type");
    ASSERT_TRUE(type.startsWith("multipart/form-data; boundary=")) << type.toStdString();
    boundaries << type.mid(type.indexOf('=') + 1);
    EXPECT_TRUE(request.body.startsWith("--" + boundaries.last() + "\r\nContent-Disposition: form-data; name=\"operation\""));
    EXPECT_TRUE(request.body.endsWith("\r\n" + audio + "\r\n--" + boundaries.last() + "--\r\n"));
    EXPECT_EQ(request.header("Content-Length"), QByteArray::number(request.body.size()));
  }
  EXPECT_NE(boundaries[0], boundaries[1]);
}

}  // namespace
