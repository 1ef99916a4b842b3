// The sign-in window as a person uses it: typing and clicks, the fake service answering over a socket.
#include "localization/appstrings.h"
#include "localization/servermessages.h"
#include "onboarding/errorline.h"
#include "onboarding/languagerow.h"
#include "onboarding/progressbutton.h"
#include "onboarding/signinform.h"
#include "service/deviceidentity.h"
#include "theme/cybertextfield.h"
#include "onboardingtest.h"

#include <QClipboard>
#include <QGuiApplication>

#include <QPointer>

namespace {

using ::testing::AllOf;
using ::testing::Not;

const QByteArray kWantsInvite = R"({"token":"tok-new","email":"other@example.com","tier":"pro","require_invite":true})";

class SignIn : public ServiceTest {
 protected:
  SignIn() { reopen(); }

  void reopen() { view = std::make_unique<AuthView>(), view->show(); }
  SignInForm& form() const { return *view->signInForm(); }
  ProgressButton* button() const { return form().primaryButton(); }

  // Clicks `target` and waits until its request was answered.
  void press(ProgressButton* target) {
    const int before = service->requestCount();
    const QPointer<ProgressButton> button = target;  // a finished sign-up closes the view that holds it
    click(target);
    ASSERT_TRUE(waitUntil([&] { return service->requestCount() > before && (!button || !button->isBusy()); },
                          std::chrono::seconds(15)))
        << "no answer";
  }
  // Types `entry` into `field` and presses the primary button, the service answering `answer`.
  void submit(CyberTextField* field, const QString& entry, const QByteArray& path, const ScriptedResponse& answer) {
    service.enqueue("POST", apiPath(path), answer);
    typeInto(field, entry);
    press(button());
  }
  void reachInviteStep() {
    form().emailField()->clear();
    submit(form().emailField(), QStringLiteral("New@Example.com"), "/auth/send-code", ScriptedResponse::json(200, "{}"));
    submit(form().codeField(), QStringLiteral("654321"), "/auth/verify", ScriptedResponse::json(200, kWantsInvite));
    ASSERT_NE(view->inviteCodeView(), nullptr);
  }

  // Both configuration fetches for the account just signed in, after the first `first` requests.
  void expectConfigFetchesAfter(int first, const QByteArray& token) {
    ASSERT_TRUE(waitUntil([&] { return service->requestCount() == first + 2; }));
    QList<QByteArray> fetched;
    for (const RecordedRequest& request : service->requests().mid(first)) fetched << request.path + " " + request.header("Authorization");
    std::sort(fetched.begin(), fetched.end());
    EXPECT_EQ(fetched, QList<QByteArray>({apiPath("/config/plan") + " Bearer " + token,
                                          apiPath("/config/recording") + " Bearer " + token}));
  }

  std::unique_ptr<AuthView> view;
};

TEST_F(SignIn, ACodeIsAskedForAndCheckedThroughTheForm) {
  RecordingResultStore::shared().update(QStringLiteral("heard"), QStringLiteral("before"), std::nullopt);
  EXPECT_THAT(*view, Shows(currentStrings().sendCode));
  EXPECT_FALSE(button()->isEnabled()) << "nothing typed";
  typeInto(form().emailField(), QStringLiteral(" "));
  EXPECT_TRUE(button()->isEnabled()) << "a blank counts as typed";
  form().emailField()->clear();

  // While the code is asked for, the button is busy and the address stays editable.
  service.enqueue("POST", apiPath("/auth/send-code"), delayed(ScriptedResponse::json(200, "{}")));
  typeInto(form().emailField(), QStringLiteral("Ann@Example.com"));
  click(button());
  EXPECT_TRUE(button()->isBusy() && !button()->isEnabled() && form().emailField()->isEnabled());
  ASSERT_TRUE(waitUntil([&] { return form().codeField()->isVisible(); }));
  EXPECT_EQ(bodyOf(service->lastRequest()), QJsonObject({{"email", "Ann@Example.com"}}));

  // The code stage: the address locked, the verify button waiting for a code.
  EXPECT_THAT(*view, Shows(currentStrings().verifyAccess));
  EXPECT_FALSE(form().emailField()->isEnabled() || button()->isEnabled());
  std::optional<QString> emailWhenSignedIn;  // the token comes after the account it names
  QObject::connect(&AuthStore::shared(), &AuthStore::tokenChanged, view.get(),
                   [&] { emailWhenSignedIn = AuthStore::shared().email(); });
  submit(form().codeField(), QStringLiteral(" 123456"), "/auth/verify",
         ScriptedResponse::json(200, R"({"token":"tok-1","email":"ann@example.com"})"));
  EXPECT_EQ(bodyOf(service->requests()[1]), QJsonObject({{"email", "Ann@Example.com"}, {"code", " 123456"}}));
  EXPECT_EQ(emailWhenSignedIn, QStringLiteral("ann@example.com"));
  EXPECT_EQ(AuthStore::shared().token(), QStringLiteral("tok-1"));
  EXPECT_EQ(AuthStore::shared().tier(), QStringLiteral("trial")) << "the tier of an answer that names none";
  EXPECT_EQ(RecordingResultStore::shared().result(), QString()) << "the last account's result is gone";
  expectConfigFetchesAfter(2, "tok-1");
}

// A refusal at either stage: its message on screen, what was typed and the stage kept; the next request clears it.
TEST_F(SignIn, EveryRefusalOfTheServiceIsShownUnderTheForm) {
  const AppStrings& s = currentStrings();
  ScriptedResponse hangUp;
  hangUp.closeWithoutAnswer = true;
  const struct { ScriptedResponse answer; QString message; /* empty: the network stack's own */ } cases[] = {
      {serviceError(400, "INVALID_CODE"), localizedServerError(QStringLiteral("INVALID_CODE"))},
      {serviceError(429, "SEND_CODE_TOO_FREQUENT"), s.errorSendCodeTooFrequent},
      {serviceError(403, "REG_LIMIT_REACHED"), s.errorIpLimitReached},
      {serviceError(400, "NO_SUCH_CODE_IN_THE_TABLE"), s.errorUnknown},
      {ScriptedResponse::json(401, "{}"), s.errorUnauthorized},
      {ScriptedResponse::text(502, "Bad Gateway"), s.errorUnknown},
      {ScriptedResponse::json(200, "not json"), s.errorDecode},
      {hangUp, QString()},
  };
  const auto expectShown = [&](const QString& message) {
    QStringList shown = shownTexts(*form().errorLine());
    shown.removeAll(QString());
    ASSERT_EQ(shown.size(), 1);
    if (message.isEmpty()) EXPECT_NE(shown[0], s.errorUnknown); else EXPECT_EQ(shown[0], message);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer.body.toStdString());
    reopen();
    submit(form().emailField(), QStringLiteral("ann@example.com"), "/auth/send-code", c.answer);
    expectShown(c.message);
    EXPECT_TRUE(!form().codeField()->isVisible() && button()->isEnabled()) << "the user may try again";

    submit(form().emailField(), QString(), "/auth/send-code", ScriptedResponse::json(200, "{}"));
    EXPECT_FALSE(form().errorLine()->isVisible());
    submit(form().codeField(), QStringLiteral("000000"), "/auth/verify", c.answer);
    expectShown(c.message);
    EXPECT_THAT(*view, AllOf(Shows("000000"), Shows("ann@example.com")));
    EXPECT_EQ(view->inviteCodeView(), nullptr);
    EXPECT_EQ(AuthStore::shared().token(), std::nullopt);
  }
}

TEST_F(SignIn, ReturnSendsNothingTheErrorStaysWhileTypingAndResendGoesBack) {
  submit(form().emailField(), QStringLiteral("ann@example.com\r"), "/auth/send-code", ScriptedResponse::json(200, "{}"));
  submit(form().codeField(), QStringLiteral("111111\r"), "/auth/verify", serviceError(400, "INVALID_CODE"));
  ASSERT_EQ(service->requestCount(), 2) << "only the clicks sent";
  const QString shown = currentStrings().errorInvalidCode;
  typeInto(form().codeField(), QStringLiteral("2"));
  LanguageManager::shared().setCurrent(AppLanguage::ru);  // worded when it happened, it stays while typing
  EXPECT_THAT(*view, AllOf(Shows(shown), Shows(currentStrings().verifyAccess)));

  click(form().resendLink());
  EXPECT_EQ(service->requestCount(), 2) << "resend only goes back";
  EXPECT_THAT(*view, AllOf(Not(Shows(shown)), Shows(currentStrings().sendCode), Shows("ann@example.com")));
  EXPECT_TRUE(form().emailField()->isEnabled() && !form().codeField()->isVisible());
  press(button());
  EXPECT_EQ(form().codeField()->text(), QString()) << "the code stage comes back empty";
}

TEST_F(SignIn, ASignInOutlivesTheWindowThatStartedIt) {
  service.route("POST", apiPath("/auth/verify"),
                delayed(ScriptedResponse::json(200, R"({"token":"tok-1","email":"ann@example.com"})"), 100));
  auto vm = std::make_unique<AuthViewModel>();
  vm->setEmail(QStringLiteral("ann@example.com")), vm->setCode(QStringLiteral("1"));
  auto task = vm->verifyCode();
  vm.reset();
  awaitTask(std::move(task));
  EXPECT_EQ(AuthStore::shared().token(), QStringLiteral("tok-1"));
  EXPECT_TRUE(service->waitForRequests(3)) << "and the configuration is fetched";
}

// A new address: the service wants an invitation before the account exists.
TEST_F(SignIn, AnInviteCodeCompletesTheSignUp) {
  FakeMachine machine;
  int tokenChanges = 0;
  QObject::connect(&AuthStore::shared(), &AuthStore::tokenChanged, view.get(), [&] { ++tokenChanges; });
  reachInviteStep();
  EXPECT_EQ(tokenChanges, 0) << "the answer's token is no account yet";
  EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), QStringLiteral("New@Example.com"));
  EXPECT_FALSE(form().isVisible());
  EXPECT_THAT(*view->inviteCodeView(), Shows(currentStrings().invitePageTitle));

  // Back: the waiting address goes, the form returns with it; forward again, the code is empty.
  typeInto(view->inviteCodeView()->codeField(), QStringLiteral("abcd"));
  click(view->inviteCodeView()->backButton());
  EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), std::nullopt);
  ASSERT_TRUE(waitUntil([&] { return view->inviteCodeView() == nullptr; }));
  EXPECT_TRUE(form().isVisible() && !form().codeField()->isVisible());
  EXPECT_THAT(*view, Shows("New@Example.com"));
  reachInviteStep();
  InviteCodeView& invite = *view->inviteCodeView();
  EXPECT_EQ(invite.codeField()->text(), QString());

  // While a submission is out nothing can be pressed; refusals show the service's reason and keep the code.
  typeInto(invite.codeField(), QStringLiteral("abcdefgh"));
  service.enqueue("POST", apiPath("/auth/verify-invite"), delayed(serviceError(400, "INVALID_INVITE_CODE")));
  click(invite.submitButton());
  EXPECT_TRUE(!invite.codeField()->isEnabled() && invite.submitButton()->isBusy() && !invite.backButton()->isEnabled());
  ASSERT_TRUE(waitUntil([&] { return !invite.submitButton()->isBusy(); }));
  EXPECT_TRUE(invite.codeField()->isEnabled() && invite.backButton()->isEnabled());
  const AppStrings& s = currentStrings();
  EXPECT_THAT(invite, Shows(s.errorInvalidInviteCode));
  const std::pair<ScriptedResponse, QString> refusals[] = {
      {serviceError(400, "INVITE_SESSION_EXPIRED"), s.errorInviteSessionExpired},
      {ScriptedResponse::json(200, R"({"email":"new@example.com"})"), s.errorDecode},
  };
  for (const auto& [answer, message] : refusals) {
    service.enqueue("POST", apiPath("/auth/verify-invite"), answer);
    press(invite.submitButton());
    EXPECT_THAT(invite, Shows(message)) << answer.body.toStdString();
    EXPECT_EQ(invite.codeField()->text(), QStringLiteral("ABCD-EFGH"));
  }
  EXPECT_EQ(AuthStore::shared().token(), std::nullopt);
  EXPECT_EQ(service->requestCount(), 7) << "no configuration fetch before the account exists";

  service.enqueue("POST", apiPath("/auth/verify-invite"),
                  ScriptedResponse::json(200, R"({"token":"tok-9","email":"new@example.com","require_invite":true})"));
  press(invite.submitButton());
  EXPECT_EQ(bodyOf(service->requests()[7]),
            QJsonObject({{"email", "New@Example.com"}, {"invite_code", "ABCDEFGH"}, {"device_id", *machine.uuid},
                         {"hardware_fingerprint", DeviceIdentity::hardwareFingerprint()}}));
  EXPECT_EQ(AuthStore::shared().email(), QStringLiteral("new@example.com")) << "whatever require_invite says now";
  EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), std::nullopt);
  expectConfigFetchesAfter(8, "tok-9");
}

// What the invite field shows and whether it can be submitted, typed key by key or pasted whole.
TEST_F(SignIn, TheInviteFieldFormatsWhatIsTypedOrPasted) {
  const struct { const char* text; bool paste; const char* shown; bool submittable; } cases[] = {
      {"abcde", false, "ABCD-E", false},           {"abcd efgh ijkl", true, "ABCD-EFGH", true},
      {"abcdefgh", false, "ABCD-EFGH", true},      {"I0O1L", false, "", false},
      {"ßßab", false, "SSSS-AB", false},           {"éa–b_c.d/e９", true, "ABCD-E", false},
  };
  for (const auto& c : cases) {
    InviteCodeView invite(new InviteCodeViewModel(QStringLiteral("new@example.com"), {}));
    invite.show();
    QGuiApplication::clipboard()->setText(QString::fromUtf8(c.text));
    c.paste ? invite.codeField()->paste() : typeInto(invite.codeField(), QString::fromUtf8(c.text));
    EXPECT_EQ(invite.codeField()->text(), QString::fromUtf8(c.shown)) << c.text;
    EXPECT_EQ(invite.submitButton()->isEnabled(), c.submittable) << c.text;
  }
  // Deleting the fifth character takes the hyphen along; typing in the middle keeps the caret after it.
  InviteCodeView invite(new InviteCodeViewModel(QStringLiteral("new@example.com"), {}));
  invite.show();
  typeInto(invite.codeField(), QStringLiteral("abcde\b"));
  EXPECT_EQ(invite.codeField()->text(), QStringLiteral("ABCD"));
  QTest::keyClicks(invite.codeField(), QStringLiteral("efgh"));
  invite.codeField()->setCursorPosition(2);
  QTest::keyClicks(invite.codeField(), QStringLiteral("x"));
  EXPECT_EQ(invite.codeField()->text(), QStringLiteral("ABXC-DEFG"));
  EXPECT_EQ(invite.codeField()->cursorPosition(), 3);
  // An incomplete code is never sent, however it is asked.
  InviteCodeViewModel vm(QStringLiteral("new@example.com"), {});
  for (const char* code : {"", "ABCD", "ABCD-EFG", "ABCD-EFGHJ"}) vm.setInviteCode(QString::fromUtf8(code)), awaitTask(vm.submit());
  EXPECT_EQ(service->requestCount(), 0);
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
  for (int choice = 1; choice <= 2; ++choice) {  // the language in use is chosen again: written, closed
    click(russian);
    EXPECT_EQ(UserDefaults::shared().text(QStringLiteral("app_language")), QStringLiteral("ru"));
    EXPECT_TRUE(!picker.isPopoverShown() && russian->isCurrent());
    const AppStrings& s = currentStrings();
    EXPECT_THAT(*view, AllOf(Shows(s.sendCode), Shows(s.emailPlaceholder), Shows(s.agreementTerms)));
    click(&picker);
  }
}

}  // namespace
