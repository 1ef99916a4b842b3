#include "localization/servermessages.h"

#include "localization/appstrings.h"

namespace {

struct CodeText {
  const char* code;
  QString AppStrings::*text;
};

QString lookUp(std::span<const CodeText> table, const QString& code, const QString& otherwise) {
  for (const CodeText& entry : table) {
    if (code == QLatin1StringView(entry.code)) return currentStrings().*entry.text;
  }
  return otherwise;
}

constexpr CodeText kServerErrors[] = {
    {"UNAUTHORIZED", &AppStrings::errorUnauthorized},
    {"INVALID_AUDIO", &AppStrings::errorInvalidAudio},
    {"DURATION_EXCEEDED", &AppStrings::errorDurationExceeded},
    {"UNSUPPORTED_OPERATION", &AppStrings::errorUnsupportedOp},
    {"PROVIDER_ERROR", &AppStrings::errorProviderError},
    {"INVALID_CODE", &AppStrings::errorInvalidCode},
    {"HOTWORD_DUPLICATE", &AppStrings::errorHotwordDuplicate},
    {"HOTWORD_NOT_FOUND", &AppStrings::errorHotwordNotFound},
    {"HOTWORD_LIMIT_REACHED", &AppStrings::errorHotwordLimit},
    {"SHORTCUT_NOT_FOUND", &AppStrings::errorShortcutNotFound},
    {"USER_CANCELLED", &AppStrings::errorUserCancelled},
    {"INVALID_INVITE_CODE", &AppStrings::errorInvalidInviteCode},
    {"INVITE_SESSION_EXPIRED", &AppStrings::errorInviteSessionExpired},
    {"DEVICE_LIMIT_REACHED", &AppStrings::errorDeviceLimitReached},
    {"IP_LIMIT_REACHED", &AppStrings::errorIpLimitReached},
    // A second code the service sends for the same registration limit.
    {"REG_LIMIT_REACHED", &AppStrings::errorIpLimitReached},
    {"DISPOSABLE_EMAIL", &AppStrings::errorDisposableEmail},
    {"SEND_CODE_TOO_FREQUENT", &AppStrings::errorSendCodeTooFrequent},
    {"REGISTRATION_CLOSED", &AppStrings::errorRegistrationClosed},
    {"OPENCLAW_NOT_INSTALLED", &AppStrings::openclawTipNotInstalled},
    {"OPENCLAW_SERVICE_DOWN", &AppStrings::openclawTipServiceDown},
    {"CREDITS_EXHAUSTED", &AppStrings::errorCreditsExhausted},
    {"USER_BANNED", &AppStrings::errorUserBanned},
};

constexpr CodeText kOpenClawStatuses[] = {
    {"OPENCLAW_NOT_INSTALLED", &AppStrings::openclawTipNotInstalled},
    {"OPENCLAW_SERVICE_DOWN", &AppStrings::openclawTipServiceDown},
    {"OPENCLAW_SESSION_STARTED", &AppStrings::openclawTipSessionStarted},
    {"OPENCLAW_SESSION_ENDED", &AppStrings::openclawTipSessionEnded},
    {"OPENCLAW_ALREADY_ACTIVE", &AppStrings::openclawTipAlreadyActive},
};

}  // namespace

QString localizedServerError(const QString& code) {
  return lookUp(kServerErrors, code, currentStrings().errorUnknown);
}

QString localizedOpenClawStatus(const QString& text) { return lookUp(kOpenClawStatuses, text, text); }
