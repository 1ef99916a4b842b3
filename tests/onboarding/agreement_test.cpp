// The terms and privacy sheets: what is asked of the service, and what the sheet shows for every answer.
#include "onboarding/agreementfooter.h"
#include "onboarding/agreementviewmodel.h"
#include "overlays/markdownscrollview.h"
#include "service/apiclient.h"
#include "onboardingtest.h"

namespace {

using ::testing::AllOf;
using ::testing::Not;

const QByteArray kPath = "/veltrine/api/v1/agreements";

// Waits until the sheet has left its loading page.
bool settled(AgreementView& sheet) { return waitUntil([&] { return sheet.currentPage() != sheet.loadingPage(); }); }
bool showsDocument(AgreementView& sheet, const QString& text) {
  return sheet.documentView()->isVisible() && sheet.documentView()->text() == text;
}

using Agreements = ServiceTest;

// The type and the interface language, no credentials; the body decides, never the status; 15 s of silence fails.
TEST_F(Agreements, TheSheetAsksWithoutCredentialsAndShowsAnyContentText) {
  Clock::setTimeScaleForTesting(0.01);
  ScriptedResponse silent;
  silent.stall = true;
  qputenv("VELTRINE_API_KEY", "key-123");
  AuthStore::shared().setToken(QStringLiteral("tok-1"));
  const struct { AgreementType type; AppLanguage language; ScriptedResponse answer; std::optional<QString> document; } cases[] = {
      {AgreementType::privacy, AppLanguage::zhHant, ScriptedResponse::json(200, R"({"content":"**P**","version":3})"), "**P**"},
      {AgreementType::terms, AppLanguage::yue, ScriptedResponse::json(404, R"({"content":"Not translated yet"})"), "Not translated yet"},
      {AgreementType::terms, AppLanguage::en, ScriptedResponse::json(200, R"({"content":""})"), ""},
      {AgreementType::terms, AppLanguage::en, ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR"})"), std::nullopt},
      {AgreementType::terms, AppLanguage::en, ScriptedResponse::json(200, R"({"content":42})"), std::nullopt},
      {AgreementType::terms, AppLanguage::en, ScriptedResponse::text(200, "# Terms"), std::nullopt},
      {AgreementType::terms, AppLanguage::en, silent, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer.body.toStdString());
    LanguageManager::shared().setCurrent(c.language);
    service.enqueue("GET", kPath, c.answer);
    AgreementView sheet(c.type);
    sheet.show();
    ASSERT_TRUE(settled(sheet));
    const RecordedRequest request = service->lastRequest();
    EXPECT_EQ(request.raw.left(request.raw.indexOf("\r\n")),
              "GET " + kPath + "?type=" + (c.type == AgreementType::terms ? "terms" : "privacy") +
                  "&lang=" + rawValue(c.language).toUtf8() + " HTTP/1.1");
    QList<QByteArray> chosen = request.headerNames();  // without the network stack's own
    chosen.removeIf([](const QByteArray& name) {
      return QList<QByteArray>{"Host", "Connection", "Accept-Encoding", "Accept-Language", "User-Agent"}.contains(name);
    });
    EXPECT_EQ(chosen, QList<QByteArray>({"X-App-Variant", "X-Client-Platform"}));
    EXPECT_EQ(showsDocument(sheet, c.document.value_or(QString())), c.document.has_value());
    EXPECT_EQ(shownTexts(sheet).contains(currentStrings().agreementLoadFailed), !c.document);
    EXPECT_EQ(sheet.retryButton()->isVisible(), !c.document);
  }
  qunsetenv("VELTRINE_API_KEY");
}

// A footer link opens its sheet, loading first; closed while loading and opened again, it fetches anew.
TEST_F(Agreements, AFooterLinkOpensTheSheetWhichShowsLoadingThenTheDocument) {
  service.route("GET", kPath, delayed(ScriptedResponse::json(200, R"({"content":"# Privacy"})"), 150));
  AuthView view;
  view.show();
  for (int opening = 1; opening <= 2; ++opening) {
    click(view.agreementFooter()->privacyLink());
    ASSERT_NE(view.agreementView(), nullptr);
    EXPECT_TRUE(view.agreementView()->isVisible());
    EXPECT_THAT(*view.agreementView(), Shows(currentStrings().agreementLoading));
    ASSERT_TRUE(service->waitForRequests(opening));
    if (opening == 1) {
      click(view.agreementView()->closeButton());
      ASSERT_TRUE(waitUntil([&] { return view.agreementView() == nullptr; }));
    }
  }
  AgreementView* sheet = view.agreementView();
  ASSERT_TRUE(settled(*sheet));
  EXPECT_TRUE(showsDocument(*sheet, QStringLiteral("# Privacy")));
  EXPECT_EQ(service->lastRequest().query.left(13), "type=privacy&");
  click(sheet->closeButton());
  EXPECT_TRUE(waitUntil([&] { return view.agreementView() == nullptr; }));

  // The other link opens the other document, also while a sign-in request is out.
  service.route("POST", apiPath("/auth/send-code"), delayed(ScriptedResponse::json(200, "{}")));
  view.viewModel().setEmail(QStringLiteral("ann@example.com"));
  auto sending = view.viewModel().sendCode();
  click(view.agreementFooter()->termsLink());
  ASSERT_NE(view.agreementView(), nullptr);
  ASSERT_TRUE(settled(*view.agreementView()));
  const QList<RecordedRequest> sent = service->requests();  // the sign-in request races it on the wire
  EXPECT_TRUE(std::any_of(sent.begin(), sent.end(), [](const RecordedRequest& r) { return r.query.startsWith("type=terms&"); }));
  awaitTask(std::move(sending));
}

TEST_F(Agreements, RetryHidesTheErrorAndFetchesInTheLanguageOfThatMoment) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  service.enqueue("GET", kPath, ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR"})"));
  service.enqueue("GET", kPath, delayed(ScriptedResponse::json(200, R"({"content":"Условия"})"), 150));
  AgreementView sheet(AgreementType::terms);
  sheet.show();
  ASSERT_TRUE(settled(sheet));
  EXPECT_THAT(sheet, Shows(currentStrings().agreementLoadFailed));

  LanguageManager::shared().setCurrent(AppLanguage::ru);
  EXPECT_EQ(service->requestCount(), 1) << "a language switch fetches nothing";
  click(sheet.retryButton());
  EXPECT_THAT(sheet, AllOf(Shows(currentStrings().agreementLoading), Not(Shows(currentStrings().retry))));
  ASSERT_TRUE(settled(sheet));
  EXPECT_TRUE(showsDocument(sheet, QStringLiteral("Условия")));
  EXPECT_EQ(service->lastRequest().query, "type=terms&lang=ru");
}

// Plain http only for loopback; only a process that has sent nothing yet can be given another address.
TEST_F(Agreements, AnAddressThatMayNotBeUsedFailsInsteadOfShowingAnEmptyDocument) {
  qputenv("VELTRINE_SERVICE_ORIGIN", "http://service.example");
  if (!APIClient::baseURL().isEmpty()) GTEST_SKIP() << "the service address was read by an earlier test";
  AgreementView sheet(AgreementType::terms);
  sheet.show();
  ASSERT_TRUE(settled(sheet));
  EXPECT_THAT(sheet, Shows(currentStrings().agreementLoadFailed));
}

TEST_F(Agreements, OnlyTheLatestLoadsAnswerCounts) {
  service.enqueue("GET", kPath + "?type=privacy&lang=en", delayed(ScriptedResponse::json(200, R"({"content":"old"})"), 300));
  service.enqueue("GET", kPath + "?type=terms&lang=ru", ScriptedResponse::json(200, R"({"content":"new"})"));
  AgreementViewModel vm;
  auto first = vm.load(AgreementType::privacy, QStringLiteral("en"));
  ASSERT_TRUE(service->waitForRequests(1));
  awaitTask(vm.load(AgreementType::terms, QStringLiteral("ru")));
  awaitTask(std::move(first));
  EXPECT_EQ(vm.content(), QStringLiteral("new")) << "the earlier load's answer is dropped";
  EXPECT_FALSE(vm.isLoading());
}

}  // namespace
