// Every state of the sign-in window, its invite step, popover and sheets, and
// of every onboarding step looks right as shown, in every interface language:
// texts whole or elided, nothing empty, nothing out of its layout or overlapping.
#include "onboardingtest.h"

namespace {

using ::testing::IsEmpty;

class TextsFit : public ServiceTest, public ::testing::WithParamInterface<AppLanguage> {
 protected:
  TextsFit() { LanguageManager::shared().setCurrent(GetParam()); }

  // A sign-in view at the height it asks for, as the program's window makes it.
  static void expectLooksRight(QWidget& view, const std::string& state) {
    settleLayout();
    if (qobject_cast<AuthView*>(&view)) view.resize(view.sizeHint()), settleLayout();
    EXPECT_THAT(shownPageFaults(view), IsEmpty()) << state;
  }
};

TEST_P(TextsFit, InEveryStateOfTheSignInWindowAndItsInviteStep) {
  service.enqueue("POST", apiPath("/auth/send-code"), serviceError(429, "SEND_CODE_TOO_FREQUENT"));
  service.route("POST", apiPath("/auth/send-code"), delayed(ScriptedResponse::json(200, "{}"), 1000));
  service.enqueue("POST", apiPath("/auth/verify"), serviceError(400, "INVALID_CODE"));
  service.route("POST", apiPath("/auth/verify"), ScriptedResponse::json(200, R"({"token":"","email":"","require_invite":true})"));
  service.route("POST", apiPath("/auth/verify-invite"), delayed(serviceError(400, "INVALID_INVITE_CODE"), 1000));
  AuthView view;
  view.show();
  AuthViewModel& vm = view.viewModel();
  expectLooksRight(view, "empty");
  vm.setEmail(QStringLiteral("firstname.lastname@example-company.com"));
  awaitTask(vm.sendCode());
  ASSERT_TRUE(vm.errorMessage());
  expectLooksRight(view, "the address refused");
  auto sending = vm.sendCode();
  expectLooksRight(view, "the code being asked for");
  awaitTask(std::move(sending));
  expectLooksRight(view, "the code stage");
  vm.setCode(QStringLiteral("000000"));
  awaitTask(vm.verifyCode());
  expectLooksRight(view, "the code stage with its error");

  view.languagePicker()->click();
  ASSERT_NE(view.languagePicker()->popover(), nullptr);
  expectLooksRight(*view.languagePicker()->popover(), "the language popover");
  view.languagePicker()->click();

  awaitTask(vm.verifyCode());
  ASSERT_NE(view.inviteCodeView(), nullptr) << vm.errorMessage().value_or(QString()).toStdString();
  expectLooksRight(view, "the invite step");
  InviteCodeViewModel& invite = view.inviteCodeView()->viewModel();
  invite.setInviteCode(QStringLiteral("ABCD-EFGH"));
  auto submitting = invite.submit();
  expectLooksRight(view, "an invite code being submitted");
  awaitTask(std::move(submitting));
  expectLooksRight(view, "the invite code refused");
}

TEST_P(TextsFit, InTheAgreementSheet) {
  service.enqueue("GET", apiPath("/agreements"), delayed(serviceError(500, "INTERNAL"), 1000));
  service.enqueue("GET", apiPath("/agreements"), ScriptedResponse::json(200, R"({"content":"# Terms\n\nA clause that goes on."})"));
  AuthView view;
  view.show();
  view.showAgreement(AgreementType::privacy);
  AgreementView& sheet = *view.agreementView();
  expectLooksRight(sheet, "loading");
  ASSERT_TRUE(waitUntil([&] { return sheet.currentPage() == sheet.failedPage(); }));
  expectLooksRight(sheet, "failed");
  sheet.retryButton()->click();
  ASSERT_TRUE(waitUntil([&] { return sheet.currentPage() != sheet.loadingPage(); }));
  expectLooksRight(sheet, "the document");
}

TEST_P(TextsFit, InEveryOnboardingStepWaitingAndPassed) {
  FakeMicrophoneAccess microphone(MicrophoneAccess::Authorization::denied);
  FakeAccessibilityTrust trust(false);
  for (OnboardingStep step : allOnboardingSteps()) {
    auto view = openOnboarding(step);
    expectLooksRight(*view, std::to_string(rawValue(step)));
    if (!isPracticeStep(step)) continue;
    RecordingResultStore::shared().update(QStringLiteral("heard"),
                                          QStringLiteral("A result long enough to fill the field's first line."), std::nullopt);
    view->markCurrentStepCompleted();
    expectLooksRight(*view, std::to_string(rawValue(step)) + " passed");
    RecordingResultStore::shared().reset();
  }
  // The permissions page with one and with both granted.
  for (bool both : {false, true}) {
    microphone.status = MicrophoneAccess::Authorization::authorized;
    trust.trusted = both;
    expectLooksRight(*openOnboarding(OnboardingStep::permissions), both ? "both granted" : "one granted");
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, TextsFit, ::testing::ValuesIn(allAppLanguages()),
                         [](const auto& info) { return rawValue(info.param).replace('-', '_').toStdString(); });

}  // namespace
