// The terms and privacy sheets: what is asked of the service, and what the
// sheet shows for every answer.
#include "localization/appstrings.h"
#include "onboarding/agreementfooter.h"
#include "onboarding/agreementview.h"
#include "onboarding/agreementviewmodel.h"
#include "onboarding/authview.h"
#include "onboarding/authviewmodel.h"
#include "onboarding/linkbutton.h"
#include "overlays/markdownscrollview.h"
#include "service/apiclient.h"
#include "theme/neonbutton.h"
#include "onboardingtest.h"

#include <algorithm>

namespace {

using ::testing::Not;

const QByteArray kPath = "/veltrine/api/v1/agreements";

class Agreements : public ServiceTest {
 protected:
  // Waits until the sheet has left its loading page.
  static bool settled(AgreementView& sheet) {
    return waitUntil([&] { return sheet.currentPage() != sheet.loadingPage(); });
  }
  static bool showsDocument(AgreementView& sheet, const QString& text) {
    return sheet.documentView()->isVisible() && sheet.documentView()->text() == text;
  }
};

// The type and the interface language, no credentials; the body decides, never the status.
TEST_F(Agreements, TheSheetAsksWithoutCredentialsAndShowsAnyContentText) {
  qputenv("VELTRINE_API_KEY", "key-123");
  AuthStore::shared().setToken(QStringLiteral("tok-1"));
  const struct {
    AgreementType type;
    AppLanguage language;
    ScriptedResponse answer;
    std::optional<QString> document;
  } cases[] = {
      {AgreementType::privacy, AppLanguage::zhHant, ScriptedResponse::json(200, R"({"content":"**P**","version":3})"), "**P**"},
      {AgreementType::terms, AppLanguage::yue, ScriptedResponse::json(404, R"({"content":"Not translated yet"})"), "Not translated yet"},
      {AgreementType::terms, AppLanguage::en, ScriptedResponse::json(500, R"({"content":"Later"})"), "Later"},
      {AgreementType::terms, AppLanguage::en, ScriptedResponse::json(200, R"({"content":""})"), ""},
      {AgreementType::terms, AppLanguage::en, ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR"})"), std::nullopt},
      {AgreementType::terms, AppLanguage::en, ScriptedResponse::json(200, R"({"content":42})"), std::nullopt},
      {AgreementType::terms, AppLanguage::en, ScriptedResponse::json(200, R"({"content":null})"), std::nullopt},
      {AgreementType::terms, AppLanguage::en, ScriptedResponse::json(200, R"(["content"])"), std::nullopt},
      {AgreementType::terms, AppLanguage::en, ScriptedResponse::text(200, "# Terms"), std::nullopt},
      {AgreementType::terms, AppLanguage::en, ScriptedResponse::text(502, ""), std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer.body.toStdString());
    LanguageManager::shared().setCurrent(c.language);
    service.enqueue("GET", kPath, c.answer);
    AgreementView sheet(c.type);
    sheet.show();
    ASSERT_TRUE(settled(sheet));
    const RecordedRequest request = service.lastRequest();
    EXPECT_EQ(request.raw.left(request.raw.indexOf("\r\n")),
              "GET " + kPath + "?type=" + (c.type == AgreementType::terms ? "terms" : "privacy") +
                  "&lang=" + rawValue(c.language).toUtf8() + " HTTP/1.1");
    QList<QByteArray> chosen = request.headerNames();  // without the network stack's own
    chosen.removeIf([](const QByteArray& name) {
      return QList<QByteArray>{"Host", "Connection", "Accept-Encoding", "Accept-Language", "User-Agent"}.contains(name);
    });
    EXPECT_EQ(chosen, QList<QByteArray>({"X-App-Variant", "X-Client-Platform"}));
    EXPECT_EQ(request.header("X-App-Variant"), "standard");
    EXPECT_EQ(request.header("X-Client-Platform"), "macos_standard");
    if (c.document) {
      EXPECT_TRUE(showsDocument(sheet, *c.document));
      EXPECT_THAT(sheet, Not(Shows(currentStrings().agreementLoadFailed)));
    } else {
      EXPECT_THAT(sheet, Shows(currentStrings().agreementLoadFailed));
      EXPECT_TRUE(sheet.retryButton()->isVisible());
      EXPECT_FALSE(sheet.documentView()->isVisible());
    }
  }
  qunsetenv("VELTRINE_API_KEY");
}

TEST_F(Agreements, AFooterLinkOpensTheSheetWhichShowsLoadingThenTheDocument) {
  service.route("GET", kPath, delayed(ScriptedResponse::json(200, R"({"content":"# Privacy"})"), 150));
  AuthView view;
  view.show();
  click(view.agreementFooter()->privacyLink());
  AgreementView* sheet = view.agreementView();
  ASSERT_NE(sheet, nullptr);
  EXPECT_TRUE(sheet->isVisible());
  EXPECT_EQ(sheet->size(), QSize(AgreementView::sheetWidth, AgreementView::sheetHeight));
  EXPECT_THAT(*sheet, Shows(currentStrings().agreementLoading));
  ASSERT_TRUE(settled(*sheet));
  EXPECT_THAT(*sheet, Not(Shows(currentStrings().agreementLoading)));
  EXPECT_TRUE(showsDocument(*sheet, QStringLiteral("# Privacy")));
  EXPECT_EQ(service.lastRequest().query.left(13), "type=privacy&");

  click(sheet->closeButton());
  EXPECT_TRUE(waitUntil([&] { return view.agreementView() == nullptr; }));
  // The other link opens the other document, also while a sign-in request is out.
  service.route("POST", apiPath("/auth/send-code"), delayed(ScriptedResponse::json(200, "{}")));
  view.viewModel().setEmail(QStringLiteral("ann@example.com"));
  auto sending = view.viewModel().sendCode();
  click(view.agreementFooter()->termsLink());
  ASSERT_NE(view.agreementView(), nullptr);
  ASSERT_TRUE(settled(*view.agreementView()));
  const QList<RecordedRequest> sent = service.requests();  // the sign-in request races it on the wire
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
  EXPECT_EQ(service.requestCount(), 1) << "a language switch fetches nothing";
  click(sheet.retryButton());
  EXPECT_THAT(sheet, Shows(currentStrings().agreementLoading));
  EXPECT_FALSE(sheet.retryButton()->isVisible());
  ASSERT_TRUE(settled(sheet));
  EXPECT_TRUE(showsDocument(sheet, QStringLiteral("Условия")));
  EXPECT_EQ(service.lastRequest().query, "type=terms&lang=ru");
}

TEST_F(Agreements, ClosingWhileLoadingDropsTheFetchAndReopeningFetchesAnew) {
  service.route("GET", kPath, delayed(ScriptedResponse::json(200, R"({"content":"x"})")));
  AuthView view;
  view.show();
  click(view.agreementFooter()->termsLink());
  ASSERT_TRUE(service.waitForRequests(1));
  click(view.agreementView()->closeButton());
  ASSERT_TRUE(waitUntil([&] { return view.agreementView() == nullptr; }));

  click(view.agreementFooter()->termsLink());
  ASSERT_NE(view.agreementView(), nullptr);
  EXPECT_THAT(*view.agreementView(), Shows(currentStrings().agreementLoading));
  ASSERT_TRUE(settled(*view.agreementView()));
  EXPECT_EQ(service.requestCount(), 2);
}

TEST_F(Agreements, AServiceSilentFor15SecondsFails) {
  Clock::setTimeScaleForTesting(0.01);
  ScriptedResponse silent;
  silent.stall = true;
  service.route("GET", kPath, silent);
  AgreementViewModel vm;
  awaitTask(vm.load(AgreementType::privacy, QStringLiteral("en")), std::chrono::seconds(5));
  EXPECT_EQ(vm.error(), currentStrings().agreementLoadFailed);
  EXPECT_FALSE(vm.isLoading());
}

TEST_F(Agreements, AnAddressThatMayNotBeUsedFailsInsteadOfShowingAnEmptyDocument) {
  // Plain http only for loopback. The program reads its service address once:
  // only a process that has sent nothing yet can be given another.
  qputenv("VELTRINE_SERVICE_ORIGIN", "http://service.example");
  if (!APIClient::baseURL().isEmpty()) GTEST_SKIP() << "the service address was read by an earlier test";
  AgreementView sheet(AgreementType::terms);
  sheet.show();
  ASSERT_TRUE(settled(sheet));
  EXPECT_THAT(sheet, Shows(currentStrings().agreementLoadFailed));
}

TEST_F(Agreements, ALoadEmptiesWhatCameBeforeAndOnlyTheLatestAnswerCounts) {
  service.enqueue("GET", kPath, ScriptedResponse::json(200, R"({"content":"first"})"));
  service.enqueue("GET", kPath, delayed(ScriptedResponse::json(500, "{}"), 100));
  service.enqueue("GET", kPath + "?type=privacy&lang=en", delayed(ScriptedResponse::json(200, R"({"content":"old"})"), 300));
  service.enqueue("GET", kPath + "?type=terms&lang=ru", ScriptedResponse::json(200, R"({"content":"new"})"));
  LanguageManager::shared().setCurrent(AppLanguage::en);
  AgreementViewModel vm;
  awaitTask(vm.load(AgreementType::terms, QStringLiteral("en")));
  ASSERT_EQ(vm.content(), QStringLiteral("first"));
  auto retry = vm.load(AgreementType::terms, QStringLiteral("en"));
  EXPECT_TRUE(vm.isLoading());
  EXPECT_EQ(vm.content(), QString());
  LanguageManager::shared().setCurrent(AppLanguage::zh);  // worded in the language shown when it fails
  awaitTask(std::move(retry));
  EXPECT_EQ(vm.error(), currentStrings().agreementLoadFailed);

  auto first = vm.load(AgreementType::privacy, QStringLiteral("en"));
  EXPECT_EQ(vm.error(), std::nullopt);
  ASSERT_TRUE(service.waitForRequests(3));
  awaitTask(vm.load(AgreementType::terms, QStringLiteral("ru")));
  awaitTask(std::move(first));
  EXPECT_EQ(vm.content(), QStringLiteral("new")) << "the earlier load's answer is dropped";
  EXPECT_FALSE(vm.isLoading());
}

}  // namespace
