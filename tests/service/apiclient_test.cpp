#include "service/apiclient.h"

#include "core/clock.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "serviceclienttest.h"
#include "service/authstore.h"
#include "service/errordescription.h"
#include "testenvironment.h"

#include <QFile>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

using APIClientTest = ServiceClientTest;

const QByteArray kPersona =
    R"({"id":"p-1","name":"Mail","is_active":true,"prompts":{"transcribe_enabled":true,"rewrite_enabled":true,"intent_enabled":false}})";

QList<QByteArray> serviceHeaderNames(const RecordedRequest& request) {
  // The network layer adds its own (Host, User-Agent, Connection,
  // Content-Length): these are the ones the client chose.
  QList<QByteArray> names;
  for (const QByteArray& name : request.headerNames()) {
    if (name.startsWith("X-") || name == "Authorization" || name == "Content-Type") names << name;
  }
  return names;
}

TEST_F(APIClientTest, CommonHeadersSignedOutAndSignedInFollowTheAccountAndLanguage) {
  qputenv("VELTRINE_API_KEY", "key-123");
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"hotwords":[]})"));
  const struct {
    AppLanguage language;
    std::optional<QString> token;
    QByteArray languageValue;
  } cases[] = {
      {AppLanguage::en, std::nullopt, "en"},        {AppLanguage::yue, QStringLiteral("tok-1"), "yue"},
      {AppLanguage::zhHant, std::nullopt, "zh-Hant"}, {AppLanguage::zh, QStringLiteral("tok-2"), "zh"},
      {AppLanguage::ru, std::nullopt, "ru"},        {AppLanguage::ko, QStringLiteral("tok-3"), "ko"},
  };
  for (const auto& c : cases) {
    LanguageManager::shared().setCurrent(c.language);
    AuthStore::shared().setToken(c.token);
    awaitTask(APIClient::shared().fetchHotWords());
    const RecordedRequest request = service.lastRequest();
    EXPECT_EQ(request.raw.left(request.raw.indexOf("\r\n")), "GET /veltrine/api/v1/hotwords HTTP/1.1");
    QList<QByteArray> expectedNames{"X-API-Key", "X-App-Variant", "X-Client-Platform", "X-Accept-Language"};
    if (c.token) expectedNames.prepend("Authorization");
    EXPECT_EQ(serviceHeaderNames(request), expectedNames) << c.languageValue.toStdString();
    EXPECT_EQ(request.header("Authorization"), c.token ? "Bearer " + c.token->toUtf8() : QByteArray());
    EXPECT_EQ(request.header("X-API-Key"), "key-123");
    EXPECT_EQ(request.header("X-App-Variant"), "standard");
    EXPECT_EQ(request.header("X-Client-Platform"), "macos_standard");
    EXPECT_EQ(request.header("X-Accept-Language"), c.languageValue);
    EXPECT_TRUE(request.body.isEmpty());
    EXPECT_FALSE(request.hasHeader("Content-Length"));
  }
}

TEST_F(APIClientTest, ALineBreakInATokenOrKeyCannotAddHeaders) {
  qputenv("VELTRINE_API_KEY", "key\nX-Key-Injected: 1");
  AuthStore::shared().setToken(QStringLiteral("tok\r\nX-Injected: 1"));
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(401, "{}"));
  EXPECT_EQ(failureOf<APIError>(APIClient::shared().fetchHotWords())->kind(), APIError::Kind::unauthorized);
  const RecordedRequest request = service.lastRequest();
  EXPECT_FALSE(request.hasHeader("Authorization"));
  EXPECT_FALSE(request.hasHeader("X-API-Key"));
  EXPECT_FALSE(request.hasHeader("X-Injected"));
  EXPECT_FALSE(request.hasHeader("X-Key-Injected"));
  EXPECT_EQ(request.header("X-Client-Platform"), "macos_standard");
}

TEST_F(APIClientTest, WithoutAnApiKeyTheHeaderIsLeftOut) {
  qunsetenv("VELTRINE_API_KEY");
  service.route("GET", apiPath("/config/plan"), ScriptedResponse::json(200, "{}"));
  awaitTask(APIClient::shared().fetchUserPlanInfo());
  EXPECT_FALSE(service.lastRequest().hasHeader("X-API-Key"));
}

TEST_F(APIClientTest, StartupConfigurationNeverCarriesTheToken) {
  AuthStore::shared().setToken(QStringLiteral("secret"));
  service.route("GET", apiPath("/config/startup"), ScriptedResponse::json(200, R"({"invite_code_enabled":false})"));
  EXPECT_FALSE(awaitTask(APIClient::shared().fetchStartupConfig()).inviteCodeEnabled);
  const RecordedRequest request = service.lastRequest();
  EXPECT_FALSE(request.hasHeader("Authorization"));
  EXPECT_EQ(request.header("X-Client-Platform"), "macos_standard");

  service.route("GET", apiPath("/config/recording"), ScriptedResponse::json(200, R"({"max_duration_sec":90})"));
  EXPECT_EQ(awaitTask(APIClient::shared().fetchRecordingConfig()).maxDurationSec, 90);
  EXPECT_EQ(service.lastRequest().header("Authorization"), "Bearer secret");
}

TEST_F(APIClientTest, BodylessRequestsCarryNoBodyAndNoContentType) {
  service.route("POST", apiPath("/personas/p-1/activate"), ScriptedResponse::json(200, kPersona));
  service.route("POST", apiPath("/personas/deactivate-all"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  service.route("DELETE", apiPath("/personas/p-1"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  service.route("GET", apiPath("/personas"), ScriptedResponse::json(200, R"({"personas":[)" + kPersona + "]}"));

  EXPECT_EQ(awaitTask(APIClient::shared().activatePersona(QStringLiteral("p-1"))).id, QStringLiteral("p-1"));
  awaitTask(APIClient::shared().deactivateAllPersonas());
  awaitTask(APIClient::shared().deletePersona(QStringLiteral("p-1")));
  EXPECT_EQ(awaitTask(APIClient::shared().fetchPersonas()).personas.size(), 1);

  const QList<RecordedRequest> requests = service.requests();
  ASSERT_EQ(requests.size(), 4);
  for (const RecordedRequest& request : requests) {
    EXPECT_FALSE(request.hasHeader("Content-Type")) << request.target.toStdString();
    EXPECT_TRUE(request.body.isEmpty()) << request.target.toStdString();
    EXPECT_TRUE(request.raw.endsWith("\r\n\r\n")) << request.target.toStdString();
  }
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[1].method, "POST");
  EXPECT_EQ(requests[2].method, "DELETE");
}

TEST_F(APIClientTest, JsonBodiesGoWithTheirContentType) {
  service.route("POST", apiPath("/auth/verify"), ScriptedResponse::json(200, R"({"token":"t","email":"a@b.c"})"));
  service.route("PUT", apiPath("/hotwords/h-1"), ScriptedResponse::json(200, R"({"id":"h-1","word":"Qt/QML"})"));
  service.route("POST", apiPath("/personas"), ScriptedResponse::json(201, kPersona));

  EXPECT_EQ(awaitTask(APIClient::shared().verifyCode(QStringLiteral("a@b.c"), QStringLiteral("123456"))).tier,
            QStringLiteral("trial"));
  RecordedRequest request = service.lastRequest();
  EXPECT_EQ(request.header("Content-Type"), "application/json");
  EXPECT_EQ(QJsonDocument::fromJson(request.body).object(), (QJsonObject{{"email", "a@b.c"}, {"code", "123456"}}));

  awaitTask(APIClient::shared().put<HotWordItem>(APIClient::hotwordURL(QStringLiteral("h-1")),
                                                 HotWordUpdateBody{QStringLiteral("Qt/QML")}));
  request = service.lastRequest();
  EXPECT_EQ(request.method, "PUT");
  EXPECT_EQ(request.body, R"({"word":"Qt\/QML"})");

  awaitTask(APIClient::shared().createPersona(QStringLiteral("Mail"), std::nullopt, PersonaPrompts{}));
  EXPECT_EQ(QJsonDocument::fromJson(service.lastRequest().body).object().keys(),
            (QStringList{QStringLiteral("name"), QStringLiteral("prompts")}));
}

struct StatusCase {
  const char* name;
  ScriptedResponse answer;
  APIError::Kind kind;
  qint64 status;
  QString message;
  std::optional<APIErrorResponse> response;
};

TEST_F(APIClientTest, EveryStatusMapsOntoItsError) {
  const QByteArray banned = R"({"code":"USER_BANNED","message":"banned"})";
  const StatusCase cases[] = {
      {"401 whatever its body", ScriptedResponse::json(401, banned), APIError::Kind::unauthorized, 0, {}, std::nullopt},
      {"403 banned", ScriptedResponse::json(403, banned), APIError::Kind::userBanned, 0, {}, std::nullopt},
      {"403 code in lower case", ScriptedResponse::json(403, R"({"code":"user_banned","message":"no"})"),
       APIError::Kind::httpError, 403, QStringLiteral("no"),
       APIErrorResponse{QStringLiteral("user_banned"), QStringLiteral("no"), std::nullopt}},
      {"403 empty body", ScriptedResponse::text(403, ""), APIError::Kind::httpError, 403,
       QStringLiteral("Unknown error"), std::nullopt},
      {"500 HTML page", ScriptedResponse::text(500, "<html><body>oops</body></html>", "text/html"),
       APIError::Kind::httpError, 500, QStringLiteral("Unknown error"), std::nullopt},
      // Redirections are followed; one without a location reaches the client as it is.
      {"302 without a location", ScriptedResponse::text(302, ""), APIError::Kind::httpError, 302,
       QStringLiteral("Unknown error"), std::nullopt},
      {"429 with a duration update",
       ScriptedResponse::json(429, R"({"code":"DURATION_EXCEEDED","message":"m","config_update":{"max_duration_sec":30}})"),
       APIError::Kind::httpError, 429, QStringLiteral("m"),
       APIErrorResponse{QStringLiteral("DURATION_EXCEEDED"), QStringLiteral("m"), ConfigUpdatePayload{30}}},
      {"422 with an ill-typed duration update",
       ScriptedResponse::json(422, R"({"code":"X","message":"m","config_update":{"max_duration_sec":"30"}})"),
       APIError::Kind::httpError, 422, QStringLiteral("Unknown error"), std::nullopt},
      {"200 whose body is an error object", ScriptedResponse::json(200, R"({"code":"X","message":"m"})"),
       APIError::Kind::decodingError, 0, {}, std::nullopt},
      {"204 without a body", ScriptedResponse::text(204, ""), APIError::Kind::decodingError, 0, {}, std::nullopt},
  };
  for (const StatusCase& c : cases) {
    service.enqueue("GET", apiPath("/hotwords"), c.answer);
    const std::optional<APIError> error = failureOf<APIError>(APIClient::shared().fetchHotWords());
    ASSERT_TRUE(error) << c.name;
    EXPECT_EQ(error->kind(), c.kind) << c.name;
    if (c.kind != APIError::Kind::httpError) continue;
    EXPECT_EQ(error->statusCode(), c.status) << c.name;
    EXPECT_EQ(error->message(), c.message) << c.name;
    EXPECT_EQ(error->response(), c.response) << c.name;
  }
}

TEST_F(APIClientTest, EmptyAndMessageAnswersNeedAJsonBody) {
  const SendCodeRequest request{QStringLiteral("a@b.c")};
  service.enqueue("POST", apiPath("/auth/send-code"), ScriptedResponse::json(200, "{}"));
  awaitTask(APIClient::shared().post<EmptyResponse>(APIClient::sendCodeURL(), request));
  service.enqueue("POST", apiPath("/auth/send-code"), ScriptedResponse::text(204, ""));
  EXPECT_EQ(failureOf<APIError>(APIClient::shared().post<EmptyResponse>(APIClient::sendCodeURL(), request))->kind(),
            APIError::Kind::decodingError);

  service.enqueue("DELETE", apiPath("/hotwords/h-1"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  awaitTask(APIClient::shared().deleteHotWord(QStringLiteral("h-1")));
  service.enqueue("DELETE", apiPath("/hotwords/h-1"), ScriptedResponse::text(204, ""));
  EXPECT_EQ(failureOf<APIError>(APIClient::shared().deleteHotWord(QStringLiteral("h-1")))->kind(),
            APIError::Kind::decodingError);
  service.enqueue("DELETE", apiPath("/hotwords/h-1"), ScriptedResponse::json(200, "{}"));
  EXPECT_EQ(failureOf<APIError>(APIClient::shared().deleteHotWord(QStringLiteral("h-1")))->kind(),
            APIError::Kind::decodingError);
}

TEST_F(APIClientTest, AStatusBelow200IsAnHttpError) {
  ScriptedResponse odd = ScriptedResponse::json(199, "");
  odd.headers.append(qMakePair(QByteArray("Content-Length"), QByteArray("0")));
  service.route("GET", apiPath("/hotwords"), odd);
  const std::optional<APIError> error = failureOf<APIError>(APIClient::shared().fetchHotWords());
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind(), APIError::Kind::httpError);
  EXPECT_EQ(error->statusCode(), 199);
}

TEST_F(APIClientTest, IdentifiersStayOneSegmentOfThePath) {
  service.setDefaultResponse(ScriptedResponse::json(200, R"({"message":"ok"})"));
  const struct {
    const char* id;
    QByteArray target;
  } encoded[] = {
      {"h-1", "/veltrine/api/v1/hotwords/h-1"},
      {"a/b", "/veltrine/api/v1/hotwords/a%2Fb"},
      {"../config/plan", "/veltrine/api/v1/hotwords/..%2Fconfig%2Fplan"},
      {"x?y#z", "/veltrine/api/v1/hotwords/x%3Fy%23z"},
      {"wörd 1", "/veltrine/api/v1/hotwords/w%C3%B6rd%201"},
      {"%2F", "/veltrine/api/v1/hotwords/%252F"},
  };
  for (const auto& c : encoded) {
    awaitTask(APIClient::shared().deleteHotWord(QString::fromUtf8(c.id)));
    EXPECT_EQ(service.lastRequest().target, c.target) << c.id;
  }
  EXPECT_EQ(APIClient::personaActivateURL(QStringLiteral("a b")),
            APIClient::baseURL() + QStringLiteral("/personas/a%20b/activate"));

  // Ids that no percent-encoding keeps in place are refused before anything is sent.
  service.clearRequests();
  for (const char* id : {"", ".", ".."}) {
    const auto error = failureOf<TransportError>(APIClient::shared().deletePersona(QString::fromLatin1(id)));
    ASSERT_TRUE(error) << '"' << id << '"';
    EXPECT_EQ(error->kind(), TransportError::Kind::badURL);
    EXPECT_TRUE(failureOf<TransportError>(APIClient::shared().activatePersona(QString::fromLatin1(id))));
  }
  EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(APIClientTest, AHandBuiltExchangeSendsOnlyItsOwnHeadersAndMapsNoStatus) {
  AuthStore::shared().setToken(QStringLiteral("tok"));
  service.route("POST", apiPath("/logs/report"), ScriptedResponse::json(500, R"({"code":"X","message":"m"})"));
  APIRequest request;
  request.url = QUrl(APIClient::logsReportURL());
  request.method = "POST";
  request.timeout = std::chrono::seconds(10);
  request.setJsonBody(QJsonObject{{"app_version", "0.1.0"}});
  request.setHeader("Authorization", "Bearer tok");
  const APIClient::Answer answer = awaitTask(APIClient::shared().exchange(request));
  EXPECT_EQ(answer.status, 500);
  EXPECT_EQ(answer.body, R"({"code":"X","message":"m"})");
  const RecordedRequest sent = service.lastRequest();
  EXPECT_EQ(serviceHeaderNames(sent), (QList<QByteArray>{"Content-Type", "Authorization"}));
  EXPECT_EQ(sent.body, R"({"app_version":"0.1.0"})");
}

TEST_F(APIClientTest, AStalledAnswerTimesOutAsATransportError) {
  Clock::setTimeScaleForTesting(0.005);  // the 60-second time-out becomes 300 ms
  ScriptedResponse stall;
  stall.stall = true;
  service.route("GET", apiPath("/config/plan"), stall);
  const std::optional<TransportError> error = failureOf<TransportError>(APIClient::shared().fetchUserPlanInfo());
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind(), TransportError::Kind::timedOut);
  EXPECT_FALSE(error->localizedDescription().isEmpty());
}

TEST_F(APIClientTest, AnAnswerSlowerThanNothingButWithinTheTimeOutArrives) {
  Clock::setTimeScaleForTesting(0.005);
  ScriptedResponse slow = ScriptedResponse::json(200, "{}");
  slow.delay = std::chrono::milliseconds(100);
  service.route("GET", apiPath("/config/plan"), slow);
  EXPECT_EQ(awaitTask(APIClient::shared().fetchUserPlanInfo()).tier, QStringLiteral("none"));
}

ScriptedResponse redirectTo(int status, const QByteArray& location) {
  ScriptedResponse answer = ScriptedResponse::text(status, "");
  answer.headers.append({"Location", location});
  return answer;
}

TEST_F(APIClientTest, RedirectionsAreFollowedWithinTheOriginOnly) {
  qputenv("VELTRINE_API_KEY", "key-123");
  AuthStore::shared().setToken(QStringLiteral("tok"));
  FakeService elsewhere;
  elsewhere.setDefaultResponse(ScriptedResponse::json(200, R"({"hotwords":[],"id":"x","word":"w"})"));

  // Within the origin the request goes on with its credentials (and a 307 with its body).
  service.route("POST", apiPath("/hotwords"), redirectTo(307, apiPath("/v2/hotwords")));
  service.route("POST", apiPath("/v2/hotwords"), ScriptedResponse::json(200, R"({"id":"h-1","word":"Qt"})"));
  const HotWordCreateBody body{QStringLiteral("Qt")};
  EXPECT_EQ(awaitTask(APIClient::shared().post<HotWordItem>(APIClient::hotwordsURL(), body)).id, QStringLiteral("h-1"));
  const RecordedRequest moved = service.lastRequest();
  EXPECT_EQ(moved.target, apiPath("/v2/hotwords"));
  EXPECT_EQ(moved.header("Authorization"), "Bearer tok");
  EXPECT_EQ(moved.header("X-API-Key"), "key-123");
  EXPECT_EQ(moved.body, R"({"word":"Qt"})");

  // To another origin (another port of the same host included) nothing is
  // sent: the caller gets a transport failure.
  const QByteArray away = elsewhere.origin().toString().toUtf8() + apiPath("/hotwords");
  const QByteArray otherPort = "http://localhost:" + QByteArray::number(elsewhere.port()) + apiPath("/hotwords");
  for (const ScriptedResponse& redirect : {redirectTo(302, away), redirectTo(307, otherPort), redirectTo(308, away)}) {
    service.enqueue("GET", apiPath("/hotwords"), redirect);
    const auto error = failureOf<TransportError>(APIClient::shared().fetchHotWords());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), TransportError::Kind::redirectRefused);
    EXPECT_EQ(describeError(*error), currentStrings().errorRedirectRefused);
  }
  EXPECT_EQ(elsewhere.requestCount(), 0);
}

class AudioUploadTest : public ServiceClientTest {
 protected:
  QString writeRecording(const QByteArray& content) {
    QFile file(TestEnvironment::root() + QStringLiteral("/recording.wav"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return file.fileName();
  }
};

const QByteArray kProcessed =
    R"({"operation":"transcribe","action_type":"paste","transcript":"hello","result":"Hello."})";

// Each way a connection can end before its answer: a request that the peer
// read reaches it once, and the caller sees the failure. A second copy would
// be answered normally, so a resent request would show as a success.
TEST_F(AudioUploadTest, ARequestGoesOutOnceWhateverBecomesOfItsConnection) {
  ScriptedResponse closedAfterTheBody;
  closedAfterTheBody.closeWithoutAnswer = true;
  ScriptedResponse cutShort;
  cutShort.raw = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 100\r\n\r\n{\"operation\"";
  ScriptedResponse garbage;
  garbage.raw = "SSH-2.0-OpenSSH_9.2\r\n\r\n";
  const struct {
    const char* name;
    ScriptedResponse answer;
    std::optional<TransportError::Kind> transport;  // else the answer is not HTTP
  } rows[] = {
      {"closed after reading the body", closedAfterTheBody, TransportError::Kind::connectionLost},
      {"closed in the middle of the answer", cutShort, TransportError::Kind::connectionLost},
      {"answered with something else than HTTP", garbage, std::nullopt},
  };
  const QString audio = writeRecording(QByteArray(32000, '\x01'));
  service.route("POST", apiPath("/audio/process"), ScriptedResponse::json(200, kProcessed));
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"hotwords":[]})"));
  LanguageManager::shared().setCurrent(AppLanguage::ru);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    service.clearRequests();
    service.enqueue("POST", apiPath("/audio/process"), row.answer);
    service.enqueue("GET", apiPath("/hotwords"), row.answer);
    std::optional<QString> uploadFailure;
    std::optional<QString> fetchFailure;
    try {
      awaitTask(APIClient::shared().processAudio(audio, QStringLiteral("transcribe"), std::nullopt, std::nullopt));
    } catch (const std::exception& error) {
      uploadFailure = describeError(error);
      if (row.transport) {
        EXPECT_EQ(dynamic_cast<const TransportError&>(error).kind(), *row.transport);
      }
    }
    try {
      awaitTask(APIClient::shared().fetchHotWords());
    } catch (const std::exception& error) {
      fetchFailure = describeError(error);
    }
    const QString expected = row.transport ? stringsFor(AppLanguage::ru).errorConnectionLost
                                           : stringsFor(AppLanguage::ru).errorNetwork;
    EXPECT_EQ(uploadFailure, expected);
    EXPECT_EQ(fetchFailure, expected);
    EXPECT_EQ(service.requestCount(), 2);
  }
}

TEST_F(APIClientTest, AnAnswerLongerThanTheCapIsNotReadOn) {
  const qint64 length = 4 * APIClient::kMaxAnswerBytes;
  const struct {
    const char* name;
    int status;
    bool announced;  // with its Content-Length, or running to the end of the connection
    APIError::Kind kind;
  } rows[] = {
      {"announced", 200, true, APIError::Kind::decodingError},
      {"streamed", 200, false, APIError::Kind::decodingError},
      {"streamed with an error status", 500, false, APIError::Kind::httpError},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedResponse answer = ScriptedResponse::json(row.status, "");
    answer.streamedBody = length;
    if (row.announced) answer.headers.append({"Content-Length", QByteArray::number(length)});
    service.enqueue("GET", apiPath("/hotwords"), answer);
    const auto error = failureOf<APIError>(APIClient::shared().fetchHotWords());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), row.kind);
    if (row.kind == APIError::Kind::httpError) {
      EXPECT_EQ(error->message(), QStringLiteral("Unknown error"));
    }
    // The client closed the connection early on: the peer could not get
    // most of its answer out.
    ASSERT_TRUE(waitUntil([&] { return service.streamedBytes().has_value(); }));
    EXPECT_LT(*service.streamedBytes(), length / 2);
  }
}

TEST(APIClientTransport, FailuresWithoutAnAnswerAreTransportErrorsInTheInterfaceLanguage) {
  quint16 closedPort = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    closedPort = probe.serverPort();
  }
  // A server that answers a TLS greeting in plain HTTP.
  QTcpServer plain;
  ASSERT_TRUE(plain.listen(QHostAddress::LocalHost));
  QObject::connect(&plain, &QTcpServer::newConnection, [&plain] {
    QTcpSocket* socket = plain.nextPendingConnection();
    socket->write("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
    socket->disconnectFromHost();
  });
  const struct {
    QString url;
    TransportError::Kind kind;
    QString AppStrings::*text;
  } rows[] = {
      {QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort), TransportError::Kind::cannotConnect,
       &AppStrings::errorCannotConnect},
      {QStringLiteral("https://127.0.0.1:%1/x").arg(plain.serverPort()), TransportError::Kind::secureConnectionFailed,
       &AppStrings::errorSecureConnection},
      {QStringLiteral("ftp://127.0.0.1/x"), TransportError::Kind::badURL, &AppStrings::errorBadAddress},
  };
  for (const AppLanguage language : {AppLanguage::ko, AppLanguage::yue}) {
    LanguageManager::shared().setCurrent(language);
    for (const auto& row : rows) {
      APIRequest request;
      request.url = QUrl(row.url);
      request.method = "GET";
      const auto error = failureOf<TransportError>(APIClient::shared().exchange(request));
      ASSERT_TRUE(error) << row.url.toStdString();
      EXPECT_EQ(error->kind(), row.kind) << row.url.toStdString();
      EXPECT_EQ(describeError(*error), stringsFor(language).*row.text) << row.url.toStdString();
    }
  }
}

TEST(APIClientTransport, APlainHttpOriginElsewhereSendsNothingAndSaysWhy) {
  FakeService service;
  // Plain http is accepted for loopback only: this origin is refused.
  qputenv("VELTRINE_SERVICE_ORIGIN", "http://service.example.com");
  LanguageManager::shared().setCurrent(AppLanguage::zh);
  EXPECT_TRUE(APIClient::baseURL().isEmpty());
  const std::optional<TransportError> error = failureOf<TransportError>(APIClient::shared().fetchHotWords());
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind(), TransportError::Kind::insecureOrigin);
  EXPECT_EQ(describeError(*error), stringsFor(AppLanguage::zh).errorInsecureAddress);
}

TEST_F(AudioUploadTest, TheFormGoesOutWithItsBoundaryAndTheAnswerDecodes) {
  const QByteArray audio = QByteArray(64000, '\x01');
  const QString path = writeRecording(audio);
  service.route("POST", apiPath("/audio/process"),
                ScriptedResponse::json(200, R"({"operation":"transcribe","action_type":"paste","transcript":"hello",
                                                "result":"Hello.","credits_remaining":41})"));
  const AudioProcessResponse answer = awaitTask(APIClient::shared().processAudio(
      path, QStringLiteral("transcribe"), QStringLiteral(""), QStringList{QStringLiteral("clip")}));
  EXPECT_EQ(answer.result, QStringLiteral("Hello."));
  EXPECT_EQ(answer.creditsRemaining, 41);

  awaitTask(APIClient::shared().processAudio(path, QStringLiteral("transcribe"), std::nullopt, std::nullopt));
  const QList<RecordedRequest> requests = service.requests();
  ASSERT_EQ(requests.size(), 2);
  QStringList boundaries;
  for (const RecordedRequest& request : requests) {
    const QByteArray type = request.header("Content-Type");
    ASSERT_TRUE(type.startsWith("multipart/form-data; boundary=")) << type.toStdString();
    const QByteArray boundary = type.mid(type.indexOf('=') + 1);
    boundaries << QString::fromLatin1(boundary);
    EXPECT_TRUE(request.body.startsWith("--" + boundary + "\r\nContent-Disposition: form-data; name=\"operation\"\r\n"));
    EXPECT_TRUE(request.body.endsWith("\r\n" + audio + "\r\n--" + boundary + "--\r\n"));
    // The closing line is the only one with "--" after the boundary.
    EXPECT_EQ(request.body.count("--" + boundary + "--"), 1);
    // While the agent's status is unknown the form says nothing about it.
    EXPECT_FALSE(request.body.contains("openclaw_status"));
    EXPECT_EQ(request.header("Content-Length"), QByteArray::number(request.body.size()));
  }
  EXPECT_NE(boundaries[0], boundaries[1]);
  EXPECT_TRUE(requests[0].body.contains("name=\"selected_text\"\r\n\r\n\r\n"));
  EXPECT_TRUE(requests[0].body.contains("name=\"clipboard_history\"\r\n\r\n[\"clip\"]\r\n"));
  EXPECT_FALSE(requests[1].body.contains("selected_text"));
}

TEST_F(AudioUploadTest, AnUnknownActionFailsAsADecodingError) {
  const QString path = writeRecording("RIFF");
  service.route("POST", apiPath("/audio/process"),
                ScriptedResponse::json(200, R"({"operation":"agent","action_type":"dance","transcript":"","result":""})"));
  const auto error = failureOf<APIError>(
      APIClient::shared().processAudio(path, QStringLiteral("agent"), std::nullopt, std::nullopt));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind(), APIError::Kind::decodingError);
}

}  // namespace
