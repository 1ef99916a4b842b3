#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "core/userdefaults.h"
#include "onboarding/agreementfooter.h"
#include "onboarding/authview.h"
#include "onboarding/authviewmodel.h"
#include "onboarding/errorline.h"
#include "onboarding/invitecodeview.h"
#include "onboarding/invitecodeviewmodel.h"
#include "onboarding/languagepicker.h"
#include "onboarding/languagepopover.h"
#include "onboarding/languagerow.h"
#include "onboarding/linkbutton.h"
#include "onboarding/progressbutton.h"
#include "onboarding/signinform.h"
#include "theme/cybertextfield.h"
#include "signintest.h"

#include <QTest>

namespace {

using AuthViewTest = SignInTest;

ScriptedResponse slowly(ScriptedResponse answer) {
  answer.delay = std::chrono::milliseconds(200);
  return answer;
}

TEST_F(AuthViewTest, ThePrimaryButtonNeedsAFilledFieldAndIsBusyWhileARequestIsOut) {
  service.route("POST", apiPath("/auth/send-code"), slowly(ScriptedResponse::json(200, "{}")));
  service.route("POST", apiPath("/auth/verify"), slowly(serviceError(400, "INVALID_CODE")));
  AuthView view;
  view.show();
  SignInForm& form = *view.signInForm();
  ProgressButton& button = *form.primaryButton();

  EXPECT_EQ(button.text(), currentStrings().sendCode);
  EXPECT_FALSE(button.isEnabled());
  QTest::keyClicks(form.emailField(), QStringLiteral(" "));
  EXPECT_TRUE(button.isEnabled()) << "a blank counts as typed";
  form.emailField()->clear();
  QTest::keyClicks(form.emailField(), QStringLiteral("ann@example.com"));
  EXPECT_EQ(view.viewModel().email(), QStringLiteral("ann@example.com"));

  button.click();
  EXPECT_TRUE(button.isBusy());
  EXPECT_FALSE(button.isEnabled());
  EXPECT_TRUE(form.emailField()->isEnabled()) << "the e-mail stays editable while its code is asked for";
  ASSERT_TRUE(waitUntil([&] { return view.viewModel().codeSent(); }));
  EXPECT_FALSE(button.isBusy());

  // The code stage.
  EXPECT_FALSE(form.emailField()->isEnabled());
  EXPECT_TRUE(form.codeField()->isVisibleTo(&view));
  EXPECT_EQ(button.text(), currentStrings().verifyAccess);
  EXPECT_FALSE(button.isEnabled());
  QTest::keyClicks(form.codeField(), QStringLiteral("123456"));
  EXPECT_TRUE(button.isEnabled());
  button.click();
  EXPECT_TRUE(button.isBusy());
  EXPECT_FALSE(form.emailField()->isEnabled());
  ASSERT_TRUE(waitUntil([&] { return !view.viewModel().isLoading(); }));
  EXPECT_TRUE(form.errorLine()->isVisibleTo(&view));
  EXPECT_EQ(form.errorLine()->message(), currentStrings().errorInvalidCode);
  EXPECT_EQ(service.requestCount(), 2);
}

TEST_F(AuthViewTest, ReturnInEitherFieldSendsNothing) {
  AuthView view;
  view.show();
  QTest::keyClicks(view.signInForm()->emailField(), QStringLiteral("ann@example.com\r"));
  QTest::keyClick(view.signInForm()->emailField(), Qt::Key_Enter);
  QTest::qWait(50);
  EXPECT_EQ(service.requestCount(), 0);
  EXPECT_FALSE(view.viewModel().isLoading());
}

TEST_F(AuthViewTest, ResendReturnsToTheEmailStageWithTheAddressKept) {
  service.route("POST", apiPath("/auth/send-code"), ScriptedResponse::json(200, "{}"));
  AuthView view;
  view.show();
  QTest::keyClicks(view.signInForm()->emailField(), QStringLiteral("ann@example.com"));
  awaitTask(view.viewModel().sendCode());
  QTest::keyClicks(view.signInForm()->codeField(), QStringLiteral("12"));
  view.signInForm()->resendLink()->click();
  EXPECT_EQ(service.requestCount(), 1) << "resend only goes back";
  EXPECT_FALSE(view.signInForm()->codeField()->isVisibleTo(&view));
  EXPECT_TRUE(view.signInForm()->emailField()->isEnabled());
  EXPECT_EQ(view.signInForm()->emailField()->text(), QStringLiteral("ann@example.com"));
  EXPECT_EQ(view.signInForm()->codeField()->text(), QString());
  EXPECT_EQ(view.signInForm()->primaryButton()->text(), currentStrings().sendCode);
}

TEST_F(AuthViewTest, TheInviteStepReplacesTheFormOnlyWhileAnAddressIsWaiting) {
  service.route("POST", apiPath("/auth/send-code"), ScriptedResponse::json(200, "{}"));
  service.route("POST", apiPath("/auth/verify"),
                ScriptedResponse::json(200, R"({"token":"","email":"","require_invite":true})"));
  AuthView view;
  view.show();
  AuthViewModel& vm = view.viewModel();
  vm.setEmail(QStringLiteral("New@Example.com"));
  awaitTask(vm.sendCode());
  vm.setCode(QStringLiteral("123456"));
  awaitTask(vm.verifyCode());

  ASSERT_NE(view.inviteCodeView(), nullptr);
  EXPECT_TRUE(view.inviteCodeView()->isVisibleTo(&view));
  EXPECT_FALSE(view.signInForm()->isVisibleTo(&view));
  EXPECT_EQ(view.inviteCodeView()->viewModel().email(), QStringLiteral("New@Example.com"));

  // Back: the waiting address goes, and the e-mail stage returns with it typed in.
  QTest::keyClicks(view.inviteCodeView()->codeField(), QStringLiteral("abcd"));
  view.inviteCodeView()->backButton()->click();
  EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), std::nullopt);
  EXPECT_EQ(view.inviteCodeView(), nullptr);
  EXPECT_TRUE(view.signInForm()->isVisibleTo(&view));
  EXPECT_FALSE(vm.codeSent());
  EXPECT_FALSE(vm.showInviteStep());
  EXPECT_EQ(view.signInForm()->emailField()->text(), QStringLiteral("New@Example.com"));

  // Forward again: a fresh step with an empty code.
  awaitTask(vm.sendCode());
  vm.setCode(QStringLiteral("123456"));
  awaitTask(vm.verifyCode());
  ASSERT_NE(view.inviteCodeView(), nullptr);
  EXPECT_EQ(view.inviteCodeView()->codeField()->text(), QString());

  // An invite step without a waiting address leaves the form where it was.
  AuthStore::shared().setPendingInviteEmail(std::nullopt);
  EXPECT_EQ(view.inviteCodeView(), nullptr);
  EXPECT_TRUE(vm.showInviteStep());
  EXPECT_TRUE(view.signInForm()->isVisibleTo(&view));
  EXPECT_FALSE(view.signInForm()->emailField()->isEnabled()) << "still in the code stage";
}

TEST_F(AuthViewTest, ChoosingALanguageSwitchesEveryTextStoresItAndClosesThePopover) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  AuthView view;
  view.show();
  LanguagePicker& picker = *view.languagePicker();
  picker.click();
  ASSERT_TRUE(picker.isPopoverShown());
  const QList<LanguageRow*>& rows = picker.popover()->rows();
  ASSERT_EQ(rows.size(), 6);
  QStringList names;
  for (LanguageRow* row : rows) names << row->text();
  EXPECT_EQ(names, QStringList({QStringLiteral("简体中文"), QStringLiteral("繁體中文"),
                                QStringLiteral("粵語（廣東省版）"), QStringLiteral("English"),
                                QStringLiteral("Русский"), QStringLiteral("한국어")}));
  EXPECT_TRUE(rows[3]->isCurrent());

  rows[4]->click();
  EXPECT_EQ(LanguageManager::shared().current(), AppLanguage::ru);
  EXPECT_EQ(UserDefaults::shared().text(QStringLiteral("app_language")), QStringLiteral("ru"));
  EXPECT_FALSE(picker.isPopoverShown());
  EXPECT_EQ(view.signInForm()->primaryButton()->text(), currentStrings().sendCode);
  EXPECT_EQ(view.signInForm()->emailField()->placeholderText(), currentStrings().emailPlaceholder);
  EXPECT_EQ(view.agreementFooter()->termsLink()->text(), currentStrings().agreementTerms);

  // The language already in use is written again and the popover closes.
  picker.click();
  ASSERT_TRUE(picker.isPopoverShown());
  EXPECT_TRUE(picker.popover()->rows()[4]->isCurrent());
  int announcements = 0;
  QObject::connect(&LanguageManager::shared(), &LanguageManager::currentChanged, [&] { ++announcements; });
  picker.popover()->rows()[4]->click();
  EXPECT_EQ(announcements, 1);
  EXPECT_FALSE(picker.isPopoverShown());
}

}  // namespace
