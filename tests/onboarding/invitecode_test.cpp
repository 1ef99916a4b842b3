#include "localization/appstrings.h"
#include "onboarding/authviewmodel.h"
#include "onboarding/errorline.h"
#include "onboarding/invitecodeformat.h"
#include "onboarding/invitecodeview.h"
#include "onboarding/invitecodeviewmodel.h"
#include "onboarding/linkbutton.h"
#include "onboarding/progressbutton.h"
#include "pipeline/recordingresultstore.h"
#include "service/deviceidentity.h"
#include "theme/cybertextfield.h"
#include "fixedmachine.h"
#include "signintest.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

namespace {

using InviteCodeTest = SignInTest;

const QString kPending = QStringLiteral("New@Example.com");

TEST(InviteCodeFormat, KeepsOnlyTheAlphabetUpperCasedAndSplitsAfterFour) {
  const struct {
    const char16_t* text;
    const char16_t* shown;
  } cases[] = {
      {u"", u""},
      {u"abcd", u"ABCD"},
      {u"abcde", u"ABCD-E"},
      {u"ABCD-", u"ABCD"},
      {u"ABCD-EFGH", u"ABCD-EFGH"},
      {u"abcd efgh ijkl", u"ABCD-EFGH"},
      {u"I0O1L", u""},
      {u"il o", u""},
      {u"abcdefghjkmn", u"ABCD-EFGH"},
      {u"ß9", u"SS9"},
      {u"ßßab", u"SSSS-AB"},
      {u"éa–b_c.d/e", u"ABCD-E"},
      {u"２３", u""},
      {u"z9z9-Z9Z9", u"Z9Z9-Z9Z9"},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    const QString shown = QString::fromUtf16(c.shown);
    EXPECT_EQ(InviteCodeFormat::format(text), shown) << text.toStdString();
    EXPECT_EQ(InviteCodeFormat::format(shown), shown) << "settles: " << shown.toStdString();
  }
  EXPECT_EQ(InviteCodeFormat::alphabet().size(), 31);
  EXPECT_EQ(InviteCodeFormat::clean(QStringLiteral("ABCD-EFGH")), QStringLiteral("ABCDEFGH"));
}

// What the field shows and whether it can be submitted, typed key by key or
// pasted whole.
TEST_F(InviteCodeTest, TheFieldFormatsWhatIsTypedOrPasted) {
  const struct {
    const char* text;
    bool paste;
    const char* shown;
    bool submittable;
  } cases[] = {
      {"abcd", false, "ABCD", false},
      {"abcde", false, "ABCD-E", false},
      {"ABCD-EFGH", true, "ABCD-EFGH", true},
      {"abcd efgh ijkl", true, "ABCD-EFGH", true},
      {"abcdefgh", false, "ABCD-EFGH", true},
      {"I0O1L", false, "", false},
      {"ABCD-", false, "ABCD", false},
  };
  for (const auto& c : cases) {
    InviteCodeView view(new InviteCodeViewModel(kPending, {}));
    CyberTextField* field = view.codeField();
    if (c.paste) {
      QGuiApplication::clipboard()->setText(QString::fromUtf8(c.text));
      field->paste();
    } else {
      QTest::keyClicks(field, QString::fromUtf8(c.text));
    }
    EXPECT_EQ(field->text(), QString::fromUtf8(c.shown)) << c.text;
    EXPECT_EQ(view.viewModel().inviteCode(), QString::fromUtf8(c.shown)) << c.text;
    EXPECT_EQ(view.submitButton()->isEnabled(), c.submittable) << c.text;
  }
}

TEST_F(InviteCodeTest, DeletingTheFifthCharacterTakesTheHyphenAlong) {
  InviteCodeView view(new InviteCodeViewModel(kPending, {}));
  QTest::keyClicks(view.codeField(), QStringLiteral("abcde"));
  ASSERT_EQ(view.codeField()->text(), QStringLiteral("ABCD-E"));
  QTest::keyClick(view.codeField(), Qt::Key_Backspace);
  EXPECT_EQ(view.codeField()->text(), QStringLiteral("ABCD"));
  // Typing in the middle keeps the caret after what was typed.
  QTest::keyClicks(view.codeField(), QStringLiteral("efgh"));
  view.codeField()->setCursorPosition(2);
  QTest::keyClicks(view.codeField(), QStringLiteral("x"));
  EXPECT_EQ(view.codeField()->text(), QStringLiteral("ABXC-DEFG"));
  EXPECT_EQ(view.codeField()->cursorPosition(), 3);
}

TEST_F(InviteCodeTest, SubmitSendsTheCleanCodeWithTheWaitingAddressAndThisMachine) {
  FixedMachine machine;
  service.route("POST", apiPath("/auth/verify-invite"),
                ScriptedResponse::json(200, R"({"token":"tok-9","email":"new@example.com","tier":"trial",)"
                                            R"("is_new_user":true,"require_invite":true})"));
  service.route("GET", apiPath("/config/recording"), ScriptedResponse::json(500, "{}"));
  service.route("GET", apiPath("/config/plan"), ScriptedResponse::json(500, "{}"));
  AuthStore::shared().setPendingInviteEmail(kPending);
  RecordingResultStore::shared().update(QStringLiteral("t"), QStringLiteral("r"), std::nullopt);
  LogCapture log;
  InviteCodeViewModel vm(kPending, {});
  vm.setInviteCode(QStringLiteral("ABCD-EFGH"));
  awaitTask(vm.submit());

  const RecordedRequest request = service.requests().first();
  EXPECT_EQ(request.path, apiPath("/auth/verify-invite"));
  EXPECT_EQ(request.header("Content-Type"), "application/json");
  EXPECT_EQ(bodyOf(request), QJsonObject({{QStringLiteral("email"), kPending},
                                          {QStringLiteral("invite_code"), QStringLiteral("ABCDEFGH")},
                                          {QStringLiteral("device_id"), DeviceIdentity::deviceId()},
                                          {QStringLiteral("hardware_fingerprint"),
                                           DeviceIdentity::hardwareFingerprint()}}));
  EXPECT_EQ(bodyOf(request).value(QStringLiteral("device_id")).toString(),
            QStringLiteral("4C4C4544-0042-3510-8051-B4C04F4E3732"));

  // Signed in, whatever "require_invite" says now.
  EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), std::nullopt);
  EXPECT_EQ(AuthStore::shared().token(), QStringLiteral("tok-9"));
  EXPECT_EQ(AuthStore::shared().email(), QStringLiteral("new@example.com"));
  EXPECT_EQ(RecordingResultStore::shared().result(), QString());
  EXPECT_FALSE(vm.isLoading());
  EXPECT_EQ(vm.errorMessage(), std::nullopt);
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 3; }));
  EXPECT_EQ(fetchesStarted(log), bothFetches());
  ASSERT_TRUE(waitUntil([&] { return log.texts(QStringLiteral("AppDelegate")).size() >= 4; }));
}

TEST_F(InviteCodeTest, ARefusedCodeShowsTheServicesReasonAndKeepsTheCode) {
  FixedMachine machine;
  const struct {
    ScriptedResponse answer;
    QString message;
  } cases[] = {
      {serviceError(400, "INVALID_INVITE_CODE"), currentStrings().errorInvalidInviteCode},
      {serviceError(400, "INVITE_SESSION_EXPIRED"), currentStrings().errorInviteSessionExpired},
      {serviceError(403, "DEVICE_LIMIT_REACHED"), currentStrings().errorDeviceLimitReached},
      {serviceError(403, "REGISTRATION_CLOSED"), currentStrings().errorRegistrationClosed},
      {ScriptedResponse::json(200, R"({"email":"new@example.com"})"), currentStrings().errorDecode},
  };
  AuthStore::shared().setPendingInviteEmail(kPending);
  LogCapture log;
  for (const auto& c : cases) {
    service.route("POST", apiPath("/auth/verify-invite"), c.answer);
    InviteCodeViewModel vm(kPending, {});
    vm.setInviteCode(QStringLiteral("ABCD-EFGH"));
    awaitTask(vm.submit());
    EXPECT_EQ(vm.errorMessage(), c.message) << c.answer.body.toStdString();
    EXPECT_EQ(vm.inviteCode(), QStringLiteral("ABCD-EFGH"));
    EXPECT_FALSE(vm.isLoading());
    EXPECT_EQ(AuthStore::shared().pendingInviteEmail(), kPending);
    EXPECT_EQ(AuthStore::shared().token(), std::nullopt);
  }
  QTest::qWait(50);
  EXPECT_TRUE(fetchesStarted(log).isEmpty());
}

TEST_F(InviteCodeTest, AnIncompleteCodeIsNeverSent) {
  for (const char* code : {"", "ABCD", "ABCD-EFG", "ABCD-EFGHJ"}) {
    InviteCodeViewModel vm(kPending, {});
    vm.setInviteCode(QString::fromUtf8(code));
    awaitTask(vm.submit());
    EXPECT_FALSE(vm.isLoading()) << code;
    EXPECT_EQ(vm.errorMessage(), std::nullopt) << code;
  }
  EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(InviteCodeTest, BackGivesUpTheWaitingAddressThenReturnsToTheEmailStage) {
  AuthStore::shared().setPendingInviteEmail(kPending);
  std::optional<QString> pendingWhenBack = QStringLiteral("unset");
  int backs = 0;
  InviteCodeViewModel vm(kPending, [&] {
    pendingWhenBack = AuthStore::shared().pendingInviteEmail();
    ++backs;
  });
  vm.back();
  EXPECT_EQ(backs, 1);
  EXPECT_EQ(pendingWhenBack, std::nullopt);
}

TEST_F(InviteCodeTest, WhileASubmissionIsOutTheFieldAndBothButtonsAreDisabled) {
  FixedMachine machine;
  ScriptedResponse slow = serviceError(400, "INVALID_INVITE_CODE");
  slow.delay = std::chrono::milliseconds(200);
  service.route("POST", apiPath("/auth/verify-invite"), slow);
  InviteCodeView view(new InviteCodeViewModel(kPending, {}));
  QTest::keyClicks(view.codeField(), QStringLiteral("abcdefgh"));
  ASSERT_TRUE(view.submitButton()->isEnabled());
  view.submitButton()->click();
  EXPECT_TRUE(view.viewModel().isLoading());
  EXPECT_FALSE(view.codeField()->isEnabled());
  EXPECT_FALSE(view.submitButton()->isEnabled());
  EXPECT_TRUE(view.submitButton()->isBusy());
  EXPECT_FALSE(view.backButton()->isEnabled());
  ASSERT_TRUE(waitUntil([&] { return !view.viewModel().isLoading(); }));
  EXPECT_TRUE(view.codeField()->isEnabled());
  EXPECT_TRUE(view.submitButton()->isEnabled());
  EXPECT_FALSE(view.submitButton()->isBusy());
  EXPECT_TRUE(view.errorLine()->isVisibleTo(&view));
  // Typing does not clear the error line.
  QTest::keyClick(view.codeField(), Qt::Key_Backspace);
  EXPECT_EQ(view.viewModel().errorMessage(), currentStrings().errorInvalidInviteCode);
}

}  // namespace
