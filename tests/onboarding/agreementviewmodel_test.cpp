#include "core/clock.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "onboarding/agreementviewmodel.h"
#include "signintest.h"

namespace {

using AgreementTest = SignInTest;

const QByteArray kPath = "/veltrine/api/v1/agreements";

// The headers the program chose; the network stack adds its own transport
// headers (Host, Connection, Accept-Encoding, Accept-Language, User-Agent).
QList<QByteArray> chosenHeaders(const RecordedRequest& request) {
  static const QList<QByteArray> transport{"Host", "Connection", "Accept-Encoding", "Accept-Language", "User-Agent"};
  QList<QByteArray> names;
  for (const QByteArray& name : request.headerNames()) {
    if (!transport.contains(name)) names << name;
  }
  return names;
}

TEST_F(AgreementTest, TheRequestCarriesTypeAndLanguageAndNoCredentials) {
  qputenv("VELTRINE_API_KEY", "key-123");
  AuthStore::shared().setToken(QStringLiteral("tok-1"));
  LanguageManager::shared().setCurrent(AppLanguage::ko);
  service.route("GET", kPath, ScriptedResponse::json(200, R"({"content":"# Terms"})"));
  const struct {
    AgreementType type;
    const char* lang;
    QByteArray target;
  } cases[] = {
      {AgreementType::privacy, "zh-Hant", kPath + "?type=privacy&lang=zh-Hant"},
      {AgreementType::terms, "yue", kPath + "?type=terms&lang=yue"},
      {AgreementType::terms, "en", kPath + "?type=terms&lang=en"},
  };
  for (const auto& c : cases) {
    AgreementViewModel vm;
    awaitTask(vm.load(c.type, QString::fromUtf8(c.lang)));
    const RecordedRequest request = service.lastRequest();
    EXPECT_EQ(request.raw.left(request.raw.indexOf("\r\n")), "GET " + c.target + " HTTP/1.1");
    EXPECT_EQ(chosenHeaders(request), QList<QByteArray>({"X-App-Variant", "X-Client-Platform"}));
    EXPECT_EQ(request.header("X-App-Variant"), "standard");
    EXPECT_EQ(request.header("X-Client-Platform"), "macos_standard");
    EXPECT_FALSE(request.hasHeader("Authorization"));
    EXPECT_FALSE(request.hasHeader("X-API-Key"));
    EXPECT_FALSE(request.hasHeader("X-Accept-Language"));
    EXPECT_FALSE(request.hasHeader("Content-Type"));
    EXPECT_TRUE(request.body.isEmpty());
    EXPECT_EQ(vm.content(), QStringLiteral("# Terms"));
  }
}

// The body decides, never the status.
TEST_F(AgreementTest, AnyStatusWithAContentTextIsTheDocumentAnythingElseFails) {
  const struct {
    ScriptedResponse answer;
    std::optional<QString> document;
  } cases[] = {
      {ScriptedResponse::json(200, R"({"content":"**Privacy**","version":3})"), QStringLiteral("**Privacy**")},
      {ScriptedResponse::json(404, R"({"content":"Not translated yet"})"), QStringLiteral("Not translated yet")},
      {ScriptedResponse::json(500, R"({"content":"Later"})"), QStringLiteral("Later")},
      {ScriptedResponse::json(200, R"({"content":""})"), QString()},
      {ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR","message":"down"})"), std::nullopt},
      {ScriptedResponse::json(200, R"({"content":42})"), std::nullopt},
      {ScriptedResponse::json(200, R"({"content":null})"), std::nullopt},
      {ScriptedResponse::json(200, R"(["content"])"), std::nullopt},
      {ScriptedResponse::text(200, "# Terms"), std::nullopt},
      {ScriptedResponse::text(502, ""), std::nullopt},
  };
  for (const auto& c : cases) {
    service.enqueue("GET", kPath, c.answer);
    AgreementViewModel vm;
    awaitTask(vm.load(AgreementType::terms, QStringLiteral("en")));
    EXPECT_FALSE(vm.isLoading());
    if (c.document) {
      EXPECT_EQ(vm.error(), std::nullopt) << c.answer.body.toStdString();
      EXPECT_EQ(vm.content(), *c.document);
    } else {
      EXPECT_EQ(vm.error(), currentStrings().agreementLoadFailed) << c.answer.body.toStdString();
      EXPECT_EQ(vm.content(), QString());
    }
  }
}

TEST_F(AgreementTest, AServiceSilentFor15SecondsFails) {
  Clock::setTimeScaleForTesting(0.01);
  ScriptedResponse silent;
  silent.stall = true;
  service.route("GET", kPath, silent);
  AgreementViewModel vm;
  awaitTask(vm.load(AgreementType::privacy, QStringLiteral("en")), std::chrono::seconds(5));
  EXPECT_EQ(vm.error(), currentStrings().agreementLoadFailed);
  EXPECT_FALSE(vm.isLoading());
}

TEST_F(AgreementTest, ALoadShowsLoadingAloneAndEmptiesWhatCameBefore) {
  service.enqueue("GET", kPath, ScriptedResponse::json(200, R"({"content":"first"})"));
  ScriptedResponse slow = ScriptedResponse::json(500, "{}");
  slow.delay = std::chrono::milliseconds(100);
  service.enqueue("GET", kPath, slow);
  AgreementViewModel vm;
  awaitTask(vm.load(AgreementType::terms, QStringLiteral("en")));
  ASSERT_EQ(vm.content(), QStringLiteral("first"));

  auto retry = vm.load(AgreementType::terms, QStringLiteral("en"));
  EXPECT_TRUE(vm.isLoading());
  EXPECT_EQ(vm.error(), std::nullopt);
  EXPECT_EQ(vm.content(), QString());
  awaitTask(std::move(retry));
  EXPECT_EQ(vm.error(), currentStrings().agreementLoadFailed);
  EXPECT_EQ(vm.content(), QString());
}

TEST_F(AgreementTest, TheFailureIsWordedInTheLanguageShownWhenItHappens) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  ScriptedResponse slow = ScriptedResponse::json(500, "{}");
  slow.delay = std::chrono::milliseconds(100);
  service.route("GET", kPath, slow);
  AgreementViewModel vm;
  auto load = vm.load(AgreementType::terms, QStringLiteral("en"));
  LanguageManager::shared().setCurrent(AppLanguage::zh);
  awaitTask(std::move(load));
  EXPECT_EQ(vm.error(), currentStrings().agreementLoadFailed);
}

TEST_F(AgreementTest, AnAnswerToAnEarlierLoadIsDropped) {
  ScriptedResponse late = ScriptedResponse::json(200, R"({"content":"old"})");
  late.delay = std::chrono::milliseconds(300);
  service.enqueue("GET", kPath, late);
  service.enqueue("GET", kPath, ScriptedResponse::json(200, R"({"content":"new"})"));
  AgreementViewModel vm;
  auto first = vm.load(AgreementType::terms, QStringLiteral("en"));
  ASSERT_TRUE(service.waitForRequests(1));
  awaitTask(vm.load(AgreementType::terms, QStringLiteral("en")));
  awaitTask(std::move(first));
  EXPECT_EQ(vm.content(), QStringLiteral("new"));
  EXPECT_FALSE(vm.isLoading());
}

TEST_F(AgreementTest, AnUnusableServiceAddressFailsInsteadOfShowingAnEmptyDocument) {
  // Plain http is refused for hosts other than loopback.
  qputenv("VELTRINE_SERVICE_ORIGIN", "http://service.example");
  AgreementViewModel vm;
  awaitTask(vm.load(AgreementType::terms, QStringLiteral("en")));
  EXPECT_EQ(vm.error(), currentStrings().agreementLoadFailed);
  EXPECT_FALSE(vm.isLoading());
  EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(AgreementTest, AModelGoneBeforeTheAnswerIsLeftAlone) {
  ScriptedResponse slow = ScriptedResponse::json(200, R"({"content":"x"})");
  slow.delay = std::chrono::milliseconds(100);
  service.route("GET", kPath, slow);
  auto* vm = new AgreementViewModel;
  auto load = vm->load(AgreementType::terms, QStringLiteral("en"));
  delete vm;
  awaitTask(std::move(load));
  SUCCEED();
}

}  // namespace
