#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "onboarding/agreementfooter.h"
#include "onboarding/agreementview.h"
#include "onboarding/agreementviewmodel.h"
#include "onboarding/authview.h"
#include "onboarding/authviewmodel.h"
#include "onboarding/linkbutton.h"
#include "overlays/markdownscrollview.h"
#include "theme/neonbutton.h"
#include "signintest.h"

namespace {

using AgreementViewTest = SignInTest;

const QByteArray kPath = "/veltrine/api/v1/agreements";

ScriptedResponse after(std::chrono::milliseconds delay, ScriptedResponse answer) {
  answer.delay = delay;
  return answer;
}

TEST_F(AgreementViewTest, AFooterLinkOpensTheSheetWhichShowsLoadingThenTheDocument) {
  service.route("GET", kPath, after(std::chrono::milliseconds(150), ScriptedResponse::json(200, R"({"content":"# Privacy"})")));
  AuthView view;
  view.show();
  view.agreementFooter()->privacyLink()->click();
  AgreementView* sheet = view.agreementView();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(view.agreementType(), AgreementType::privacy);
  EXPECT_EQ(sheet->size(), QSize(AgreementView::sheetWidth, AgreementView::sheetHeight));
  EXPECT_EQ(sheet->currentPage(), sheet->loadingPage());
  ASSERT_TRUE(waitUntil([&] { return !sheet->viewModel().isLoading(); }));
  EXPECT_EQ(sheet->currentPage(), sheet->documentView()->parentWidget());
  EXPECT_EQ(sheet->documentView()->text(), QStringLiteral("# Privacy"));
  EXPECT_EQ(service.lastRequest().query, "type=privacy&lang=" + rawValue(LanguageManager::shared().current()).toUtf8());

  sheet->closeButton()->click();
  EXPECT_TRUE(waitUntil([&] { return view.agreementView() == nullptr; }));
  EXPECT_EQ(view.agreementType(), std::nullopt);
}

TEST_F(AgreementViewTest, RetryHidesTheErrorAndFetchesInTheLanguageOfThatMoment) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  service.enqueue("GET", kPath, ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR"})"));
  service.enqueue("GET", kPath, after(std::chrono::milliseconds(150), ScriptedResponse::json(200, R"({"content":"Условия"})")));
  AgreementView sheet(AgreementType::terms);
  sheet.show();
  ASSERT_TRUE(waitUntil([&] { return sheet.currentPage() == sheet.failedPage(); }));
  EXPECT_EQ(sheet.viewModel().error(), currentStrings().agreementLoadFailed);

  LanguageManager::shared().setCurrent(AppLanguage::ru);
  EXPECT_EQ(service.requestCount(), 1) << "a language switch fetches nothing";
  EXPECT_EQ(sheet.retryButton()->text(), currentStrings().retry);
  sheet.retryButton()->click();
  EXPECT_EQ(sheet.currentPage(), sheet.loadingPage());
  ASSERT_TRUE(waitUntil([&] { return sheet.currentPage() != sheet.loadingPage(); }));
  EXPECT_EQ(sheet.documentView()->text(), QStringLiteral("Условия"));
  EXPECT_EQ(service.lastRequest().query, "type=terms&lang=ru");
}

TEST_F(AgreementViewTest, AnEmptyDocumentIsShownAsADocument) {
  service.route("GET", kPath, ScriptedResponse::json(200, R"({"content":""})"));
  AgreementView sheet(AgreementType::terms);
  sheet.show();
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1 && !sheet.viewModel().isLoading(); }));
  EXPECT_EQ(sheet.currentPage(), sheet.documentView()->parentWidget());
}

TEST_F(AgreementViewTest, ClosingWhileLoadingDropsTheFetchAndReopeningFetchesAnew) {
  service.route("GET", kPath, after(std::chrono::milliseconds(200), ScriptedResponse::json(200, R"({"content":"x"})")));
  AuthView view;
  view.show();
  view.agreementFooter()->termsLink()->click();
  ASSERT_NE(view.agreementView(), nullptr);
  ASSERT_TRUE(service.waitForRequests(1));
  view.agreementView()->closeButton()->click();
  ASSERT_TRUE(waitUntil([&] { return view.agreementView() == nullptr; }));

  view.agreementFooter()->termsLink()->click();
  ASSERT_NE(view.agreementView(), nullptr);
  EXPECT_EQ(view.agreementView()->currentPage(), view.agreementView()->loadingPage());
  ASSERT_TRUE(waitUntil([&] { return view.agreementView()->currentPage() != view.agreementView()->loadingPage(); }));
  EXPECT_EQ(service.requestCount(), 2);
}

TEST_F(AgreementViewTest, TheSheetOpensWhileASignInRequestIsOut) {
  service.route("POST", apiPath("/auth/send-code"),
                after(std::chrono::milliseconds(200), ScriptedResponse::json(200, "{}")));
  service.route("GET", kPath, ScriptedResponse::json(200, R"({"content":"x"})"));
  AuthView view;
  view.show();
  view.viewModel().setEmail(QStringLiteral("ann@example.com"));
  auto sending = view.viewModel().sendCode();
  view.agreementFooter()->termsLink()->click();
  EXPECT_NE(view.agreementView(), nullptr);
  awaitTask(std::move(sending));
  EXPECT_TRUE(view.viewModel().codeSent());
}

}  // namespace
