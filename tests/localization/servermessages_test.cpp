#include "localization/servermessages.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class ServerMessages : public ::testing::Test {
 protected:
  void SetUp() override { LanguageManager::shared().setCurrent(AppLanguage::en); }
};

TEST_F(ServerMessages, EveryKnownErrorCodeHasItsMessage) {
  const AppStrings& s = currentStrings();
  const std::pair<QString, QString> cases[] = {
      {u"UNAUTHORIZED"_s, s.errorUnauthorized},
      {u"INVALID_AUDIO"_s, s.errorInvalidAudio},
      {u"DURATION_EXCEEDED"_s, s.errorDurationExceeded},
      {u"UNSUPPORTED_OPERATION"_s, s.errorUnsupportedOp},
      {u"PROVIDER_ERROR"_s, s.errorProviderError},
      {u"INVALID_CODE"_s, s.errorInvalidCode},
      {u"HOTWORD_DUPLICATE"_s, s.errorHotwordDuplicate},
      {u"HOTWORD_NOT_FOUND"_s, s.errorHotwordNotFound},
      {u"HOTWORD_LIMIT_REACHED"_s, s.errorHotwordLimit},
      {u"SHORTCUT_NOT_FOUND"_s, s.errorShortcutNotFound},
      {u"USER_CANCELLED"_s, s.errorUserCancelled},
      {u"INVALID_INVITE_CODE"_s, s.errorInvalidInviteCode},
      {u"INVITE_SESSION_EXPIRED"_s, s.errorInviteSessionExpired},
      {u"DEVICE_LIMIT_REACHED"_s, s.errorDeviceLimitReached},
      {u"IP_LIMIT_REACHED"_s, s.errorIpLimitReached},
      {u"REG_LIMIT_REACHED"_s, s.errorIpLimitReached},
      {u"DISPOSABLE_EMAIL"_s, s.errorDisposableEmail},
      {u"SEND_CODE_TOO_FREQUENT"_s, s.errorSendCodeTooFrequent},
      {u"REGISTRATION_CLOSED"_s, s.errorRegistrationClosed},
      {u"OPENCLAW_NOT_INSTALLED"_s, s.openclawTipNotInstalled},
      {u"OPENCLAW_SERVICE_DOWN"_s, s.openclawTipServiceDown},
      {u"CREDITS_EXHAUSTED"_s, s.errorCreditsExhausted},
      {u"USER_BANNED"_s, s.errorUserBanned},
      // Unknown, differently written, or empty: the fixed fallback.
      {u"credits_exhausted"_s, s.errorUnknown},
      {u" UNAUTHORIZED"_s, s.errorUnknown},
      {u"OPENCLAW_SESSION_STARTED"_s, s.errorUnknown},
      {u"SOMETHING_NEW"_s, s.errorUnknown},
      {QString(), s.errorUnknown},
  };
  for (const auto& [code, message] : cases) {
    EXPECT_EQ(localizedServerError(code), message) << code.toStdString();
  }
  EXPECT_EQ(localizedServerError(u"USER_BANNED"_s), u"Your account has been banned. Please contact admin"_s);
  EXPECT_EQ(localizedServerError(u"NOPE"_s), u"Operation failed, please try again"_s);
  EXPECT_EQ(s.errorDeviceLimitReached, s.errorIpLimitReached);
}

TEST_F(ServerMessages, AgentStatusCodesAreMappedAndAnythingElsePassesThrough) {
  const AppStrings& s = currentStrings();
  const std::pair<QString, QString> cases[] = {
      {u"OPENCLAW_NOT_INSTALLED"_s, s.openclawTipNotInstalled},
      {u"OPENCLAW_SERVICE_DOWN"_s, s.openclawTipServiceDown},
      {u"OPENCLAW_SESSION_STARTED"_s, s.openclawTipSessionStarted},
      {u"OPENCLAW_SESSION_ENDED"_s, s.openclawTipSessionEnded},
      {u"OPENCLAW_ALREADY_ACTIVE"_s, s.openclawTipAlreadyActive},
      {u"CREDITS_EXHAUSTED"_s, u"CREDITS_EXHAUSTED"_s},
      {u"openclaw_session_started"_s, u"openclaw_session_started"_s},
      {u"Try saying it more slowly."_s, u"Try saying it more slowly."_s},
      {QString(), QString()},
  };
  for (const auto& [text, message] : cases) {
    EXPECT_EQ(localizedOpenClawStatus(text), message) << text.toStdString();
  }
  EXPECT_EQ(localizedOpenClawStatus(u"OPENCLAW_SERVICE_DOWN"_s), localizedServerError(u"OPENCLAW_SERVICE_DOWN"_s));
}

TEST_F(ServerMessages, AMessageTakesTheLanguageCurrentWhenItIsAskedFor) {
  const QString english = localizedServerError(u"CREDITS_EXHAUSTED"_s);
  EXPECT_EQ(english, u"Credits exhausted. Please wait for reset or contact admin"_s);

  LanguageManager::shared().setCurrent(AppLanguage::zh);
  EXPECT_EQ(localizedServerError(u"CREDITS_EXHAUSTED"_s), u"积分已耗尽，请等待重置或联系管理员"_s);
  EXPECT_EQ(localizedOpenClawStatus(u"OPENCLAW_SESSION_STARTED"_s), u"🦞 OpenClaw 对话已开启"_s);
  EXPECT_EQ(localizedServerError(u"??"_s), u"操作失败，请稍后重试"_s);

  LanguageManager::shared().setCurrent(AppLanguage::ru);
  EXPECT_EQ(localizedServerError(u"CREDITS_EXHAUSTED"_s), stringsFor(AppLanguage::ru).errorCreditsExhausted);
}

}  // namespace
