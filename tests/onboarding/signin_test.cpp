// The sign-in window as a person uses it: typing, clicks on the visible
// controls, the fake service answering over a real socket.
#include "core/userdefaults.h"
#include "localization/appstrings.h"
#include "localization/servermessages.h"
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
#include "service/deviceidentity.h"
#include "theme/cybertextfield.h"
#include "onboardingtest.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

namespace {

using ::testing::Not;

const QByteArray kSignedIn = R"({"token":"tok-1","email":"ann@example.com","tier":"pro","is_new_user":false})";
const QByteArray kWantsInvite = R"({"token":"tok-new","email":"other@example.com","tier":"pro","require_invite":true})";
const ScriptedResponse kOk = ScriptedResponse::json(200, "{}");

class SignIn : public ServiceTest {
 protected:
  SignIn() { reopen(); }

  void reopen() {
    view = std::make_unique<AuthView>();
    view->show();
  }
  SignInForm& form() const { return *view->signInForm(); }
  ProgressButton* button() const { return form().primaryButton(); }

  // Clicks `target` and waits until its request was answered.
  void press(ProgressButton* target) {
    const int before = service.requestCount();
    click(target);
    ASSERT_TRUE(waitUntil([&] { return service.requestCount() > before && !target->isBusy(); })) << "no answer";
  }

  void reachCodeStage(const QString& email = QStringLiteral("ann@example.com")) {
    service.enqueue("POST", apiPath("/auth/send-code"), kOk);
    typeInto(form().emailField(), email);
    press(button());
    ASSERT_TRUE(form().codeField()->isVisible());
  }

  void reachInviteStep() {
    reachCodeStage(QStringLiteral("New@Example.com"));
    service.enqueue("POST", apiPath("/auth/verify"), ScriptedResponse::json(200, kWantsInvite));
    typeInto(form().codeField(), QStringLiteral("654321"));
    press(button());
    ASSERT_NE(view->inviteCodeView(), nullptr);
  }

  // Both configuration fetches for the account just signed in, after the first `first` requests.
  void expectConfigFetchesAfter(int first, const QByteArray& token) {
    ASSERT_TRUE(waitUntil([&] { return service.requestCount() == first + 2; }));
    QList<QByteArray> fetched;
    for (const RecordedRequest& request : service.requests().mid(first)) {
      fetched << request.path;
      EXPECT_EQ(request.header("Authorization"), "Bearer " + token);
    }
    std::sort(fetched.begin(), fetched.end());
    EXPECT_EQ(fetched, QList<QByteArray>({apiPath("/config/plan"), apiPath("/config/recording")}));
  }

  std::unique_ptr<AuthView> view;
};

TEST_F(SignIn, ACodeIsAskedForAndCheckedThroughTheForm) {
  service.route("GET", apiPath("/config/recording"), ScriptedResponse::json(500, "{}"));
  service.route("GET", apiPath("/config/plan"), ScriptedResponse::json(500, "{}"));
  RecordingResultStore::shared().update(QStringLiteral("heard"), QStringLiteral("before"), std::nullopt);
  EXPECT_THAT(*view, Shows(currentStrings().sendCode));
  EXPECT_FALSE(button()->isEnabled()) << "nothing typed";
  typeInto(form().emailField(), QStringLiteral(" "));
  EXPECT_TRUE(button()->isEnabled()) << "a blank counts as typed";
  form().emailField()->clear();

  // While the code is asked for, the button is busy and the address stays editable.
  service.enqueue("POST", apiPath("/auth/send-code"), delayed(kOk));
  typeInto(form().emailField(), QStringLiteral("Ann@Example.com"));
  click(button());
  EXPECT_TRUE(button()->isBusy());
  EXPECT_FALSE(button()->isEnabled());
  EXPECT_TRUE(form().emailField()->isEnabled());
  ASSERT_TRUE(waitUntil([&] { return form().codeField()->isVisible(); }));
  EXPECT_EQ(bodyOf(service.lastRequest()), QJsonObject({{"email", "Ann@Example.com"}}));
  EXPECT_EQ(service.lastRequest().header("Content-Type"), "application/json");

  // The code stage: the address locked, the verify button waiting for a code.
  EXPECT_FALSE(form().emailField()->isEnabled());
  EXPECT_THAT(*view, Shows(currentStrings().verifyAccess));
  EXPECT_FALSE(button()->isEnabled());
  service.enqueue("POST", apiPath("/auth/verify"), ScriptedResponse::json(200, R"({"token":"tok-1","email":"ann@example.com"})"));
  std::optional<QString> emailWhenSignedIn;  // the token comes after the account it names
  QObject::connect(&AuthStore::shared(), &AuthStore::tokenChanged, view.get(),
                   [&] { emailWhenSignedIn = AuthStore::shared().email(); });
  typeInto(form().codeField(), QStringLiteral(" 123456"));
  press(button());
  EXPECT_EQ(bodyOf(service.requests()[1]), QJsonObject({{"email", "Ann@Example.com"}, {"code", " 123456"}}));
  EXPECT_EQ(emailWhenSignedIn, QStringLiteral("ann@example.com"));
  EXPECT_EQ(AuthStore::shared().token(), QStringLiteral("tok-1"));
  EXPECT_EQ(AuthStore::shared().tier(), QStringLiteral("trial")) << "the tier of an answer that names none";
  EXPECT_EQ(RecordingResultStore::shared().result(), QString()) << "the last account's result is gone";
  expectConfigFetchesAfter(2, "tok-1");
}

// Every refusal of the service, at both stages: its message on screen, what
// was typed and the stage kept; the next request takes the message away.
TEST_F(SignIn, EveryRefusalOfTheServiceIsShownUnderTheForm) {
  const AppStrings& s = currentStrings();
  const struct {
    ScriptedResponse answer;
    QString message;
  } cases[] = {
      {serviceError(400, "INVALID_CODE"), localizedServerError(QStringLiteral("INVALID_CODE"))},
      {serviceError(429, "SEND_CODE_TOO_FREQUENT"), s.errorSendCodeTooFrequent},
      {serviceError(400, "DISPOSABLE_EMAIL"), s.errorDisposableEmail},
      {serviceError(403, "REGISTRATION_CLOSED"), s.errorRegistrationClosed},
      {serviceError(403, "DEVICE_LIMIT_REACHED"), s.errorDeviceLimitReached},
      {serviceError(403, "IP_LIMIT_REACHED"), s.errorIpLimitReached},
      {serviceError(403, "REG_LIMIT_REACHED"), s.errorIpLimitReached},
      {serviceError(403, "USER_BANNED"), s.errorUserBanned},
      {serviceError(400, "NO_SUCH_CODE_IN_THE_TABLE"), s.errorUnknown},
      {ScriptedResponse::json(401, "{}"), s.errorUnauthorized},
      {ScriptedResponse::text(502, "Bad Gateway"), s.errorUnknown},
      {ScriptedResponse::json(200, "not json"), s.errorDecode},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer.body.toStdString());
    reopen();
    service.enqueue("POST", apiPath("/auth/send-code"), c.answer);
    typeInto(form().emailField(), QStringLiteral("ann@example.com"));
    press(button());
    EXPECT_THAT(*view, Shows(c.message));
    EXPECT_FALSE(form().codeField()->isVisible());
    EXPECT_TRUE(button()->isEnabled()) << "the user may try again";

    reachCodeStage(QString());
    EXPECT_THAT(*view, Not(Shows(c.message)));
    service.enqueue("POST", apiPath("/auth/verify"), c.answer);
    typeInto(form().codeField(), QStringLiteral("000000"));
    press(button());
    EXPECT_THAT(*view, Shows(c.message));
    EXPECT_EQ(form().codeField()->text(), QStringLiteral("000000"));
    EXPECT_EQ(form().emailField()->text(), QStringLiteral("ann@example.com"));
    EXPECT_TRUE(form().codeField()->isVisible());
    EXPECT_EQ(view->inviteCodeView(), nullptr);
    EXPECT_EQ(AuthStore::shared().token(), std::nullopt);
  }
}

TEST_F(SignIn, AConnectionLostShowsTheNetworkStacksDescription) {
  ScriptedResponse hangUp;
  hangUp.closeWithoutAnswer = true;
  service.enqueue("POST", apiPath("/auth/send-code"), hangUp);
  typeInto(form().emailField(), QStringLiteral("ann@example.com"));
  press(button());
  QStringList shown = shownTexts(*form().errorLine());
  shown.removeAll(QString());
  ASSERT_EQ(shown.size(), 1);
  EXPECT_NE(shown[0], currentStrings().errorUnknown);
  EXPECT_FALSE(form().codeField()->isVisible());
  EXPECT_TRUE(button()->isEnabled());
}

TEST_F(SignIn, ReturnSendsNothingTheErrorStaysWhileTypingAndResendGoesBack) {
  service.route("POST", apiPath("/auth/send-code"), kOk);
  typeInto(form().emailField(), QStringLiteral("ann@example.com\r"));
  QTest::keyClick(form().emailField(), Qt::Key_Enter);
  press(button());  // the click's request is the only one
  service.enqueue("POST", apiPath("/auth/verify"), serviceError(400, "INVALID_CODE"));
  typeInto(form().codeField(), QStringLiteral("111111\r"));
  press(button());
  ASSERT_EQ(service.requestCount(), 2);
  const QString shown = currentStrings().errorInvalidCode;
  ASSERT_THAT(*view, Shows(shown));

  typeInto(form().codeField(), QStringLiteral("2"));
  EXPECT_THAT(*view, Shows(shown));
  // Worded when it happened: a language switch leaves it as it was.
  LanguageManager::shared().setCurrent(AppLanguage::ru);
  EXPECT_THAT(*view, Shows(shown));
  EXPECT_THAT(*view, Shows(currentStrings().verifyAccess));

  click(form().resendLink());
  EXPECT_EQ(service.requestCount(), 2) << "resend only goes back";
  EXPECT_THAT(*view, Not(Shows(shown)));
  EXPECT_FALSE(form().codeField()->isVisible());
  EXPECT_TRUE(form().emailField()->isEnabled());
  EXPECT_EQ(form().emailField()->text(), QStringLiteral("ann@example.com"));
  EXPECT_THAT(*view, Shows(currentStrings().sendCode));
  press(button());
  EXPECT_EQ(form().codeField()->text(), QString()) << "the code stage comes back empty";
}

TEST_F(SignIn, TheModelRefusesEmptyEntriesAndItsSignInOutlivesIt) {
  AuthViewModel empty;
  awaitTask(empty.sendCode());
  EXPECT_EQ(empty.errorMessage(), currentStrings().enterEmail);
  empty.setEmail(QStringLiteral("ann@example.com"));
  awaitTask(empty.verifyCode());
  EXPECT_EQ(empty.errorMessage(), currentStrings().enterCode);
  EXPECT_EQ(service.requestCount(), 0);

  service.route("POST", apiPath("/auth/verify"), delayed(ScriptedResponse::json(200, kSignedIn), 100));
  auto* vm = new AuthViewModel;
  vm->setEmail(QStringLiteral("ann@example.com"));
  vm->setCode(QStringLiteral("1"));
  auto task = vm->verifyCode();
  delete vm;  // the window closed while the request was out
  awaitTask(std::move(task));
  EXPECT_EQ(AuthStore::shared().token(), QStringLiteral("tok-1"));
  EXPECT_TRUE(service.waitForRequests(3)) << "and the configuration is fetched";
}

// A new address: the service wants an invitation before the account exists.
TEST_F(SignIn, AnInviteCodeCompletesTheSignUp) {
  FakeMachine machine;
  int tokenChanges = 0;
  QObject::connect(&AuthStore::shared(), &AuthStore::tokenChanged, view.get(), [&] { ++tokenChanges; });
  reachInviteStep();
  InviteCodeView& invite = *view->inviteCodeView();
  // Only the address as typed waits; the answer's token is no account yet.
  EXPECT_EQ(tokenChanges, 0);
  EXPECT_EQ(AuthStore::shared().email(), std::nullopt);
  EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), QStringLiteral("New@Example.com"));
  EXPECT_FALSE(form().isVisible());
  EXPECT_THAT(invite, Shows(currentStrings().invitePageTitle));
  EXPECT_FALSE(invite.submitButton()->isEnabled());

  // While a submission is out nothing can be pressed; a refusal shows the
  // service's reason and keeps the code.
  typeInto(invite.codeField(), QStringLiteral("abcdefgh"));
  service.enqueue("POST", apiPath("/auth/verify-invite"), delayed(serviceError(400, "INVALID_INVITE_CODE")));
  click(invite.submitButton());
  EXPECT_FALSE(invite.codeField()->isEnabled());
  EXPECT_FALSE(invite.submitButton()->isEnabled());
  EXPECT_TRUE(invite.submitButton()->isBusy());
  EXPECT_FALSE(invite.backButton()->isEnabled());
  ASSERT_TRUE(waitUntil([&] { return !invite.submitButton()->isBusy(); }));
  EXPECT_TRUE(invite.codeField()->isEnabled());
  EXPECT_TRUE(invite.backButton()->isEnabled());
  const AppStrings& s = currentStrings();
  const struct {
    ScriptedResponse answer;
    QString message;
  } refusals[] = {
      {serviceError(400, "INVITE_SESSION_EXPIRED"), s.errorInviteSessionExpired},
      {serviceError(403, "DEVICE_LIMIT_REACHED"), s.errorDeviceLimitReached},
      {serviceError(403, "REGISTRATION_CLOSED"), s.errorRegistrationClosed},
      {ScriptedResponse::json(200, R"({"email":"new@example.com"})"), s.errorDecode},
  };
  EXPECT_THAT(invite, Shows(s.errorInvalidInviteCode));
  for (const auto& c : refusals) {
    service.enqueue("POST", apiPath("/auth/verify-invite"), c.answer);
    press(invite.submitButton());
    EXPECT_THAT(invite, Shows(c.message)) << c.answer.body.toStdString();
    EXPECT_EQ(invite.codeField()->text(), QStringLiteral("ABCD-EFGH"));
  }
  EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), QStringLiteral("New@Example.com"));
  EXPECT_EQ(AuthStore::shared().token(), std::nullopt);
  EXPECT_EQ(service.requestCount(), 7) << "no configuration fetch before the account exists";

  service.enqueue("POST", apiPath("/auth/verify-invite"),
                  ScriptedResponse::json(200, R"({"token":"tok-9","email":"new@example.com","tier":"trial",)"
                                              R"("is_new_user":true,"require_invite":true})"));
  service.route("GET", apiPath("/config/recording"), ScriptedResponse::json(500, "{}"));
  service.route("GET", apiPath("/config/plan"), ScriptedResponse::json(500, "{}"));
  press(invite.submitButton());
  EXPECT_EQ(bodyOf(service.requests()[7]),
            QJsonObject({{"email", "New@Example.com"},
                         {"invite_code", "ABCDEFGH"},
                         {"device_id", "4C4C4544-0042-3510-8051-B4C04F4E3732"},
                         {"hardware_fingerprint", DeviceIdentity::hardwareFingerprint()}}));
  // Signed in, whatever "require_invite" says now.
  EXPECT_EQ(AuthStore::shared().token(), QStringLiteral("tok-9"));
  EXPECT_EQ(AuthStore::shared().email(), QStringLiteral("new@example.com"));
  EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), std::nullopt);
  expectConfigFetchesAfter(8, "tok-9");
}

TEST_F(SignIn, BackFromTheInviteStepReturnsToTheAddress) {
  reachInviteStep();
  typeInto(view->inviteCodeView()->codeField(), QStringLiteral("abcd"));
  click(view->inviteCodeView()->backButton());
  EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), std::nullopt);
  ASSERT_TRUE(waitUntil([&] { return view->inviteCodeView() == nullptr; }));
  EXPECT_TRUE(form().isVisible());
  EXPECT_FALSE(form().codeField()->isVisible());
  EXPECT_EQ(form().emailField()->text(), QStringLiteral("New@Example.com"));

  // Forward again: a fresh step with an empty code.
  reachCodeStage(QString());
  service.enqueue("POST", apiPath("/auth/verify"), ScriptedResponse::json(200, kWantsInvite));
  typeInto(form().codeField(), QStringLiteral("1"));
  press(button());
  ASSERT_NE(view->inviteCodeView(), nullptr);
  EXPECT_EQ(view->inviteCodeView()->codeField()->text(), QString());

  // The waiting address gone elsewhere: the form returns, still at the code.
  AuthStore::shared().setPendingInviteEmail(std::nullopt);
  EXPECT_EQ(view->inviteCodeView(), nullptr);
  EXPECT_TRUE(form().isVisible());
  EXPECT_FALSE(form().emailField()->isEnabled());
}

// What the field shows and whether it can be submitted, typed key by key or pasted whole.
TEST_F(SignIn, TheInviteFieldFormatsWhatIsTypedOrPasted) {
  const struct {
    const char* text;
    bool paste;
    const char* shown;
    bool submittable;
  } cases[] = {
      {"abcde", false, "ABCD-E", false},        {"ABCD-EFGH", true, "ABCD-EFGH", true},
      {"abcd efgh ijkl", true, "ABCD-EFGH", true}, {"abcdefgh", false, "ABCD-EFGH", true},
      {"I0O1L", false, "", false},              {"ABCD-", false, "ABCD", false},
      {"ßßab", false, "SSSS-AB", false},        {"éa–b_c.d/e９", true, "ABCD-E", false},
  };
  for (const auto& c : cases) {
    InviteCodeView invite(new InviteCodeViewModel(QStringLiteral("new@example.com"), {}));
    invite.show();
    if (c.paste) {
      QGuiApplication::clipboard()->setText(QString::fromUtf8(c.text));
      invite.codeField()->paste();
    } else {
      typeInto(invite.codeField(), QString::fromUtf8(c.text));
    }
    EXPECT_EQ(invite.codeField()->text(), QString::fromUtf8(c.shown)) << c.text;
    EXPECT_EQ(invite.submitButton()->isEnabled(), c.submittable) << c.text;
  }
  // Deleting the fifth character takes the hyphen along; typing in the middle keeps the caret after it.
  InviteCodeView invite(new InviteCodeViewModel(QStringLiteral("new@example.com"), {}));
  invite.show();
  typeInto(invite.codeField(), QStringLiteral("abcde"));
  QTest::keyClick(invite.codeField(), Qt::Key_Backspace);
  EXPECT_EQ(invite.codeField()->text(), QStringLiteral("ABCD"));
  QTest::keyClicks(invite.codeField(), QStringLiteral("efgh"));
  invite.codeField()->setCursorPosition(2);
  QTest::keyClicks(invite.codeField(), QStringLiteral("x"));
  EXPECT_EQ(invite.codeField()->text(), QStringLiteral("ABXC-DEFG"));
  EXPECT_EQ(invite.codeField()->cursorPosition(), 3);
  // An incomplete code is never sent, however it is asked.
  InviteCodeViewModel vm(QStringLiteral("new@example.com"), {});
  for (const char* code : {"", "ABCD", "ABCD-EFG", "ABCD-EFGHJ"}) {
    vm.setInviteCode(QString::fromUtf8(code));
    awaitTask(vm.submit());
    EXPECT_EQ(vm.errorMessage(), std::nullopt) << code;
  }
  EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(SignIn, ChoosingALanguageSwitchesEveryTextStoresItAndClosesThePopover) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  LanguagePicker& picker = *view->languagePicker();
  click(&picker);
  ASSERT_TRUE(picker.isPopoverShown());
  const QList<LanguageRow*>& rows = picker.popover()->rows();
  ASSERT_EQ(rows.size(), 6);
  for (LanguageRow* row : rows) EXPECT_EQ(row->isCurrent(), row->language() == AppLanguage::en);
  LanguageRow* russian = *std::find_if(rows.begin(), rows.end(), [](auto* r) { return r->language() == AppLanguage::ru; });

  click(russian);
  EXPECT_EQ(LanguageManager::shared().current(), AppLanguage::ru);
  EXPECT_EQ(UserDefaults::shared().text(QStringLiteral("app_language")), QStringLiteral("ru"));
  EXPECT_FALSE(picker.isPopoverShown());
  for (const QString& text : {currentStrings().sendCode, currentStrings().emailPlaceholder, currentStrings().agreementTerms}) {
    EXPECT_THAT(*view, Shows(text));
  }
  // The language already in use is written again and the popover closes.
  click(&picker);
  ASSERT_TRUE(picker.isPopoverShown());
  EXPECT_TRUE(russian->isCurrent());
  int announcements = 0;
  QObject::connect(&LanguageManager::shared(), &LanguageManager::currentChanged, view.get(), [&] { ++announcements; });
  click(russian);
  EXPECT_EQ(announcements, 1);
  EXPECT_FALSE(picker.isPopoverShown());
}

}  // namespace
