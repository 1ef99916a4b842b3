// The sign-in window, its invite step and sheets, and every onboarding step
// look right as shown, in every interface language (see shownPageFaults()).
#include "fakeaccessibilitytrust.h"
#include "fakemicrophoneaccess.h"
#include "localization/languagemanager.h"
#include "onboarding/agreementview.h"
#include "onboarding/authview.h"
#include "onboarding/authviewmodel.h"
#include "onboarding/invitecodeview.h"
#include "onboarding/invitecodeviewmodel.h"
#include "onboarding/languagepicker.h"
#include "onboarding/languagepopover.h"
#include "onboarding/onboardingview.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionmanager.h"
#include "signintest.h"
#include "shownpage.h"

#include <gmock/gmock.h>

namespace {

using ::testing::IsEmpty;

// The window as tall as the sign-in view asks for, as the program's window
// makes it whenever its content changes.
void fit(AuthView& view) {
  settleLayout();
  view.resize(view.sizeHint());
  settleLayout();
}

class TextsFit : public SignInTest, public ::testing::WithParamInterface<AppLanguage> {
 protected:
  TextsFit() { LanguageManager::shared().setCurrent(GetParam()); }
};

TEST_P(TextsFit, InTheSignInWindow) {
  service.route("POST", apiPath("/auth/send-code"), ScriptedResponse::json(200, "{}"));
  service.route("POST", apiPath("/auth/verify"), serviceError(400, "INVALID_CODE"));
  service.route("GET", apiPath("/agreements"), serviceError(500, "INTERNAL"));
  AuthView view;
  view.show();
  AuthViewModel& vm = view.viewModel();
  vm.setEmail(QStringLiteral("firstname.lastname@example-company.com"));
  awaitTask(vm.sendCode());
  vm.setCode(QStringLiteral("000000"));
  awaitTask(vm.verifyCode());
  fit(view);
  EXPECT_THAT(shownPageFaults(view), IsEmpty()) << "the code stage with its error";

  view.languagePicker()->click();
  ASSERT_NE(view.languagePicker()->popover(), nullptr);
  settleLayout();
  EXPECT_THAT(shownPageFaults(*view.languagePicker()->popover()), IsEmpty());
  view.languagePicker()->click();

  view.showAgreement(AgreementType::privacy);
  ASSERT_NE(view.agreementView(), nullptr);
  waitUntil([&] { return view.agreementView()->currentPage() == view.agreementView()->failedPage(); });
  settleLayout();
  EXPECT_THAT(shownPageFaults(*view.agreementView()), IsEmpty()) << "a document that failed to load";
}

TEST_P(TextsFit, InTheInviteStep) {
  service.route("POST", apiPath("/auth/send-code"), ScriptedResponse::json(200, "{}"));
  service.route("POST", apiPath("/auth/verify"),
                ScriptedResponse::json(200, R"({"token":"","email":"","require_invite":true})"));
  service.route("POST", apiPath("/auth/verify-invite"), serviceError(400, "INVALID_INVITE_CODE"));
  AuthView view;
  view.show();
  AuthViewModel& vm = view.viewModel();
  vm.setEmail(QStringLiteral("new@example.com"));
  awaitTask(vm.sendCode());
  vm.setCode(QStringLiteral("123456"));
  awaitTask(vm.verifyCode());
  ASSERT_NE(view.inviteCodeView(), nullptr) << vm.errorMessage().value_or(QString()).toStdString();
  view.inviteCodeView()->viewModel().setInviteCode(QStringLiteral("ABCD-EFGH"));
  awaitTask(view.inviteCodeView()->viewModel().submit());
  fit(view);
  EXPECT_THAT(shownPageFaults(view), IsEmpty());
}

TEST_P(TextsFit, InEveryOnboardingStep) {
  FakeMicrophoneAccess microphone(MicrophoneAccess::Authorization::denied);
  FakeAccessibilityTrust trust(false);
  for (OnboardingStep step : allOnboardingSteps()) {
    OnboardingView view(PermissionManager::shared(), LanguageManager::shared(), HistoryStore::shared(), step, {},
                        [] {});
    view.show();
    settleLayout();
    EXPECT_THAT(shownPageFaults(view), IsEmpty()) << rawValue(step);
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, TextsFit, ::testing::ValuesIn(allAppLanguages()),
                         [](const auto& info) { return rawValue(info.param).replace('-', '_').toStdString(); });

}  // namespace
