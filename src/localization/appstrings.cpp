#include "localization/appstrings.h"

#include "localization/languagemanager.h"
#include "localization/stringtables.h"

#include <array>

using namespace Qt::Literals::StringLiterals;

// A field added to the struct but not counted (and listed below) would escape
// the checks of the tables.
static_assert(sizeof(AppStrings) >= AppStrings::fieldCount * sizeof(QString) &&
                  sizeof(AppStrings) < (AppStrings::fieldCount + 1) * sizeof(QString),
              "AppStrings::fieldCount must match the text fields");

namespace {

// QString::number is locale-free: plain digits, a leading minus, no grouping.
QString number(qint64 value) { return QString::number(value); }

}  // namespace

QString AppStrings::accountCreditsResetDate(const QString& date) const { return date; }

QString AppStrings::deleteHotwordConfirm(const QString& word) const {
  switch (language) {
    case AppLanguage::zh: return u"确定要删除热词「"_s + word + u"」吗？"_s;
    case AppLanguage::zhHant:
    case AppLanguage::yue: return u"確定要刪除熱詞「"_s + word + u"」嗎？"_s;
    case AppLanguage::en: break;
    case AppLanguage::ru: return u"Удалить слово «"_s + word + u"»?"_s;
    case AppLanguage::ko: return u"단어 「"_s + word + u"」을(를) 삭제하시겠습니까?"_s;
  }
  return u"Delete hotword \""_s + word + u"\"?"_s;
}

QString AppStrings::moreCount(qint64 count) const {
  switch (language) {
    case AppLanguage::zh:
    case AppLanguage::zhHant:
    case AppLanguage::yue: return u"更多 ("_s + number(count) + u")"_s;
    case AppLanguage::en: break;
    case AppLanguage::ru: return u"ЕЩЁ ("_s + number(count) + u")"_s;
    case AppLanguage::ko: return u"더 보기 ("_s + number(count) + u")"_s;
  }
  return u"MORE ("_s + number(count) + u")"_s;
}

QString AppStrings::recordCount(qint64 count) const {
  switch (language) {
    case AppLanguage::zh: return number(count) + u" 条记录"_s;
    case AppLanguage::zhHant: return number(count) + u" 筆記錄"_s;
    case AppLanguage::yue: return number(count) + u" 條記錄"_s;
    case AppLanguage::en: break;
    case AppLanguage::ru: return number(count) + u" зап."_s;
    case AppLanguage::ko: return number(count) + u"개 기록"_s;
  }
  return number(count) + u" REC"_s;
}

QString AppStrings::charCount(qint64 current, qint64 limit) const { return number(current) + u'/' + number(limit); }

QString AppStrings::menuUploadCrashLogs(qint64 count) const {
  switch (language) {
    case AppLanguage::zh: return u"上报崩溃日志（"_s + number(count) + u" 条）"_s;
    case AppLanguage::zhHant:
    case AppLanguage::yue: return u"上報崩潰日誌（"_s + number(count) + u" 條）"_s;
    case AppLanguage::en: break;
    case AppLanguage::ru: return u"Отправить отчёты о сбоях ("_s + number(count) + u")"_s;
    case AppLanguage::ko: return u"크래시 로그 업로드 ("_s + number(count) + u"건)"_s;
  }
  return u"Upload Crash Logs ("_s + number(count) + u")"_s;
}

std::span<const AppStrings::Field> AppStrings::fields() {
  static const std::array<Field, fieldCount> all{{
      {"sidebarHome", &AppStrings::sidebarHome},
      {"sidebarDict", &AppStrings::sidebarDict},
      {"sidebarPersona", &AppStrings::sidebarPersona},
      {"sidebarHistory", &AppStrings::sidebarHistory},
      {"sidebarSettings", &AppStrings::sidebarSettings},
      {"pageHome", &AppStrings::pageHome},
      {"pageDict", &AppStrings::pageDict},
      {"pagePersona", &AppStrings::pagePersona},
      {"pageHistory", &AppStrings::pageHistory},
      {"pageSettings", &AppStrings::pageSettings},
      {"sectionHotkeys", &AppStrings::sectionHotkeys},
      {"sectionLatest", &AppStrings::sectionLatest},
      {"sectionPermissions", &AppStrings::sectionPermissions},
      {"sectionPrivacy", &AppStrings::sectionPrivacy},
      {"labelTranscript", &AppStrings::labelTranscript},
      {"labelResult", &AppStrings::labelResult},
      {"statusIdle", &AppStrings::statusIdle},
      {"statusRec", &AppStrings::statusRec},
      {"statusProc", &AppStrings::statusProc},
      {"statusWait", &AppStrings::statusWait},
      {"statusOk", &AppStrings::statusOk},
      {"statusFail", &AppStrings::statusFail},
      {"statusDenied", &AppStrings::statusDenied},
      {"statusPending", &AppStrings::statusPending},
      {"btnPin", &AppStrings::btnPin},
      {"btnUnpin", &AppStrings::btnUnpin},
      {"btnRefresh", &AppStrings::btnRefresh},
      {"btnDone", &AppStrings::btnDone},
      {"btnCopy", &AppStrings::btnCopy},
      {"btnCopied", &AppStrings::btnCopied},
      {"btnDelAudio", &AppStrings::btnDelAudio},
      {"btnWarn", &AppStrings::btnWarn},
      {"cancel", &AppStrings::cancel},
      {"delete", &AppStrings::delete_},
      {"save", &AppStrings::save},
      {"add", &AppStrings::add},
      {"manage", &AppStrings::manage},
      {"loading", &AppStrings::loading},
      {"retry", &AppStrings::retry},
      {"languageLabel", &AppStrings::languageLabel},
      {"appNameShort", &AppStrings::appNameShort},
      {"appNameFull", &AppStrings::appNameFull},
      {"notLoggedIn", &AppStrings::notLoggedIn},
      {"logout", &AppStrings::logout},
      {"authSubtitle", &AppStrings::authSubtitle},
      {"emailPlaceholder", &AppStrings::emailPlaceholder},
      {"codePlaceholder", &AppStrings::codePlaceholder},
      {"resendCode", &AppStrings::resendCode},
      {"sendCode", &AppStrings::sendCode},
      {"verifyAccess", &AppStrings::verifyAccess},
      {"enterEmail", &AppStrings::enterEmail},
      {"enterCode", &AppStrings::enterCode},
      {"accountTitle", &AppStrings::accountTitle},
      {"accountEmail", &AppStrings::accountEmail},
      {"accountTier", &AppStrings::accountTier},
      {"tierTrial", &AppStrings::tierTrial},
      {"tierNone", &AppStrings::tierNone},
      {"accountCredits", &AppStrings::accountCredits},
      {"accountCreditsReset", &AppStrings::accountCreditsReset},
      {"permManage", &AppStrings::permManage},
      {"permUnauthorized", &AppStrings::permUnauthorized},
      {"permFullyAuthorized", &AppStrings::permFullyAuthorized},
      {"permPartialAuth", &AppStrings::permPartialAuth},
      {"permAllOk", &AppStrings::permAllOk},
      {"permSomeMissing", &AppStrings::permSomeMissing},
      {"permMicrophone", &AppStrings::permMicrophone},
      {"permMicrophoneDesc", &AppStrings::permMicrophoneDesc},
      {"permAccessibility", &AppStrings::permAccessibility},
      {"permAccessibilityDesc", &AppStrings::permAccessibilityDesc},
      {"permGoAuth", &AppStrings::permGoAuth},
      {"hotkeyTranscribe", &AppStrings::hotkeyTranscribe},
      {"hotkeyRewrite", &AppStrings::hotkeyRewrite},
      {"hotkeyAgent", &AppStrings::hotkeyAgent},
      {"hotkeyVoiceInput", &AppStrings::hotkeyVoiceInput},
      {"hotkeyVoiceInputDesc", &AppStrings::hotkeyVoiceInputDesc},
      {"hotkeyRewriteTitle", &AppStrings::hotkeyRewriteTitle},
      {"hotkeyRewriteDesc", &AppStrings::hotkeyRewriteDesc},
      {"hotkeyAgentTitle", &AppStrings::hotkeyAgentTitle},
      {"hotkeyAgentDesc", &AppStrings::hotkeyAgentDesc},
      {"pressHotkeyHint", &AppStrings::pressHotkeyHint},
      {"pressNewHotkey", &AppStrings::pressNewHotkey},
      {"hotkeyHeldElsewhere", &AppStrings::hotkeyHeldElsewhere},
      {"hotkeyHeldElsewhereTip", &AppStrings::hotkeyHeldElsewhereTip},
      {"processing", &AppStrings::processing},
      {"recognizing", &AppStrings::recognizing},
      {"recognizeFailed", &AppStrings::recognizeFailed},
      {"overlayRecording", &AppStrings::overlayRecording},
      {"overlayRecognizing", &AppStrings::overlayRecognizing},
      {"overlayClarifyTitle", &AppStrings::overlayClarifyTitle},
      {"overlayClarifyFallback", &AppStrings::overlayClarifyFallback},
      {"overlayResultTitle", &AppStrings::overlayResultTitle},
      {"overlayResultPinned", &AppStrings::overlayResultPinned},
      {"dictDesc", &AppStrings::dictDesc},
      {"dictEmpty", &AppStrings::dictEmpty},
      {"dictStandardWord", &AppStrings::dictStandardWord},
      {"dictPlaceholder", &AppStrings::dictPlaceholder},
      {"editHotword", &AppStrings::editHotword},
      {"newHotword", &AppStrings::newHotword},
      {"personaPageDesc", &AppStrings::personaPageDesc},
      {"personaNewPersona", &AppStrings::personaNewPersona},
      {"personaNameLabel", &AppStrings::personaNameLabel},
      {"personaNamePlaceholder", &AppStrings::personaNamePlaceholder},
      {"personaDescLabel", &AppStrings::personaDescLabel},
      {"personaDescPlaceholder", &AppStrings::personaDescPlaceholder},
      {"personaActivated", &AppStrings::personaActivated},
      {"personaActivateBtn", &AppStrings::personaActivateBtn},
      {"personaDeactivateBtn", &AppStrings::personaDeactivateBtn},
      {"personaCountHint", &AppStrings::personaCountHint},
      {"personaLimitReached", &AppStrings::personaLimitReached},
      {"personaTranscribeTitle", &AppStrings::personaTranscribeTitle},
      {"personaTranscribeDesc", &AppStrings::personaTranscribeDesc},
      {"personaTranscribePlaceholder", &AppStrings::personaTranscribePlaceholder},
      {"personaRewriteTitle", &AppStrings::personaRewriteTitle},
      {"personaRewriteDesc", &AppStrings::personaRewriteDesc},
      {"personaRewritePlaceholder", &AppStrings::personaRewritePlaceholder},
      {"personaIntentTitle", &AppStrings::personaIntentTitle},
      {"personaIntentDesc", &AppStrings::personaIntentDesc},
      {"personaIntentPlaceholder", &AppStrings::personaIntentPlaceholder},
      {"personaCustomized", &AppStrings::personaCustomized},
      {"personaUsingBuiltin", &AppStrings::personaUsingBuiltin},
      {"personaClearToBuiltin", &AppStrings::personaClearToBuiltin},
      {"personaActive", &AppStrings::personaActive},
      {"personaEnableHint", &AppStrings::personaEnableHint},
      {"personaDisableHint", &AppStrings::personaDisableHint},
      {"noRecords", &AppStrings::noRecords},
      {"noResult", &AppStrings::noResult},
      {"deleteConfirm", &AppStrings::deleteConfirm},
      {"deleteRecordAndAudio", &AppStrings::deleteRecordAndAudio},
      {"deleteRecordOnly", &AppStrings::deleteRecordOnly},
      {"opTranscribe", &AppStrings::opTranscribe},
      {"opRewrite", &AppStrings::opRewrite},
      {"opAgent", &AppStrings::opAgent},
      {"historySaveTitle", &AppStrings::historySaveTitle},
      {"historySaveSubtitle", &AppStrings::historySaveSubtitle},
      {"historyPrivacyTitle", &AppStrings::historyPrivacyTitle},
      {"historyPrivacySubtitle", &AppStrings::historyPrivacySubtitle},
      {"historyRetentionForever", &AppStrings::historyRetentionForever},
      {"historyRetention30Days", &AppStrings::historyRetention30Days},
      {"historyRetention7Days", &AppStrings::historyRetention7Days},
      {"historyRetention1Day", &AppStrings::historyRetention1Day},
      {"historyRetentionNever", &AppStrings::historyRetentionNever},
      {"errorRegistrationClosed", &AppStrings::errorRegistrationClosed},
      {"errorUnknown", &AppStrings::errorUnknown},
      {"errorDecode", &AppStrings::errorDecode},
      {"errorNetwork", &AppStrings::errorNetwork},
      {"errorCannotConnect", &AppStrings::errorCannotConnect},
      {"errorHostNotFound", &AppStrings::errorHostNotFound},
      {"errorProxyRefused", &AppStrings::errorProxyRefused},
      {"errorTimedOut", &AppStrings::errorTimedOut},
      {"errorConnectionLost", &AppStrings::errorConnectionLost},
      {"errorSecureConnection", &AppStrings::errorSecureConnection},
      {"errorBadAddress", &AppStrings::errorBadAddress},
      {"errorInsecureAddress", &AppStrings::errorInsecureAddress},
      {"errorRedirectRefused", &AppStrings::errorRedirectRefused},
      {"errorUnauthorized", &AppStrings::errorUnauthorized},
      {"errorUserCancelled", &AppStrings::errorUserCancelled},
      {"errorInvalidAudio", &AppStrings::errorInvalidAudio},
      {"errorDurationExceeded", &AppStrings::errorDurationExceeded},
      {"errorUnsupportedOp", &AppStrings::errorUnsupportedOp},
      {"errorProviderError", &AppStrings::errorProviderError},
      {"errorInvalidCode", &AppStrings::errorInvalidCode},
      {"errorHotwordDuplicate", &AppStrings::errorHotwordDuplicate},
      {"errorHotwordNotFound", &AppStrings::errorHotwordNotFound},
      {"errorHotwordLimit", &AppStrings::errorHotwordLimit},
      {"errorShortcutNotFound", &AppStrings::errorShortcutNotFound},
      {"errorCreditsExhausted", &AppStrings::errorCreditsExhausted},
      {"errorMicrophoneLost", &AppStrings::errorMicrophoneLost},
      {"errorUserBanned", &AppStrings::errorUserBanned},
      {"errorInvalidInviteCode", &AppStrings::errorInvalidInviteCode},
      {"errorInviteSessionExpired", &AppStrings::errorInviteSessionExpired},
      {"errorDeviceLimitReached", &AppStrings::errorDeviceLimitReached},
      {"errorIpLimitReached", &AppStrings::errorIpLimitReached},
      {"errorDisposableEmail", &AppStrings::errorDisposableEmail},
      {"errorSendCodeTooFrequent", &AppStrings::errorSendCodeTooFrequent},
      {"onboardingBack", &AppStrings::onboardingBack},
      {"onboardingNext", &AppStrings::onboardingNext},
      {"onboardingStart", &AppStrings::onboardingStart},
      {"onboardingGrantFirst", &AppStrings::onboardingGrantFirst},
      {"onboardingTryFirst", &AppStrings::onboardingTryFirst},
      {"onboardingStepDone", &AppStrings::onboardingStepDone},
      {"onboardingStepWaiting", &AppStrings::onboardingStepWaiting},
      {"onboardingWelcomeTitle", &AppStrings::onboardingWelcomeTitle},
      {"onboardingWelcomeDesc", &AppStrings::onboardingWelcomeDesc},
      {"onboardingFeature1Title", &AppStrings::onboardingFeature1Title},
      {"onboardingFeature1Desc", &AppStrings::onboardingFeature1Desc},
      {"onboardingFeature2Title", &AppStrings::onboardingFeature2Title},
      {"onboardingFeature2Desc", &AppStrings::onboardingFeature2Desc},
      {"onboardingFeature3Title", &AppStrings::onboardingFeature3Title},
      {"onboardingFeature3Desc", &AppStrings::onboardingFeature3Desc},
      {"onboardingPermTitle", &AppStrings::onboardingPermTitle},
      {"onboardingPermDesc", &AppStrings::onboardingPermDesc},
      {"onboardingPermMicDesc", &AppStrings::onboardingPermMicDesc},
      {"onboardingPermAXDesc", &AppStrings::onboardingPermAXDesc},
      {"onboardingPermAllDone", &AppStrings::onboardingPermAllDone},
      {"onboardingPermRefresh", &AppStrings::onboardingPermRefresh},
      {"onboardingCompleteTitle", &AppStrings::onboardingCompleteTitle},
      {"onboardingCompleteDesc", &AppStrings::onboardingCompleteDesc},
      {"obTriFillTitle", &AppStrings::obTriFillTitle},
      {"obTriFillSub", &AppStrings::obTriFillSub},
      {"obTriFillFieldLabel", &AppStrings::obTriFillFieldLabel},
      {"obTriFillPlaceholder", &AppStrings::obTriFillPlaceholder},
      {"obTriFillI1", &AppStrings::obTriFillI1},
      {"obTriFillI2", &AppStrings::obTriFillI2},
      {"obTriFillI3", &AppStrings::obTriFillI3},
      {"obRwGenTitle", &AppStrings::obRwGenTitle},
      {"obRwGenSub", &AppStrings::obRwGenSub},
      {"obRwGenFieldLabel", &AppStrings::obRwGenFieldLabel},
      {"obRwGenPlaceholder", &AppStrings::obRwGenPlaceholder},
      {"obRwGenI1", &AppStrings::obRwGenI1},
      {"obRwGenI2", &AppStrings::obRwGenI2},
      {"obRwGenI3", &AppStrings::obRwGenI3},
      {"obRwRoTitle", &AppStrings::obRwRoTitle},
      {"obRwRoSub", &AppStrings::obRwRoSub},
      {"obRwRoSelectHint", &AppStrings::obRwRoSelectHint},
      {"obRwRoSampleText", &AppStrings::obRwRoSampleText},
      {"obRwRoI1", &AppStrings::obRwRoI1},
      {"obRwRoI2", &AppStrings::obRwRoI2},
      {"obRwRoI3", &AppStrings::obRwRoI3},
      {"obRwEdTitle", &AppStrings::obRwEdTitle},
      {"obRwEdSub", &AppStrings::obRwEdSub},
      {"obRwEdFieldLabel", &AppStrings::obRwEdFieldLabel},
      {"obRwEdDefaultText", &AppStrings::obRwEdDefaultText},
      {"obRwEdI1", &AppStrings::obRwEdI1},
      {"obRwEdI2", &AppStrings::obRwEdI2},
      {"obRwEdI3", &AppStrings::obRwEdI3},
      {"obAgSearchTitle", &AppStrings::obAgSearchTitle},
      {"obAgSearchSub", &AppStrings::obAgSearchSub},
      {"obAgSearchExampleLabel", &AppStrings::obAgSearchExampleLabel},
      {"obAgSearchEx1", &AppStrings::obAgSearchEx1},
      {"obAgSearchEx2", &AppStrings::obAgSearchEx2},
      {"obAgSearchEx3", &AppStrings::obAgSearchEx3},
      {"obAgSearchI1", &AppStrings::obAgSearchI1},
      {"obAgSearchI2", &AppStrings::obAgSearchI2},
      {"obAgSearchI3", &AppStrings::obAgSearchI3},
      {"menuShowMain", &AppStrings::menuShowMain},
      {"menuQuit", &AppStrings::menuQuit},
      {"menuPermissions", &AppStrings::menuPermissions},
      {"menuCheckUpdate", &AppStrings::menuCheckUpdate},
      {"menuChecking", &AppStrings::menuChecking},
      {"menuDownloading", &AppStrings::menuDownloading},
      {"menuCrashUploading", &AppStrings::menuCrashUploading},
      {"menuCrashNoLog", &AppStrings::menuCrashNoLog},
      {"updateSavedTitle", &AppStrings::updateSavedTitle},
      {"updateSavedText", &AppStrings::updateSavedText},
      {"updateUnverifiedText", &AppStrings::updateUnverifiedText},
      {"updateInstallTitle", &AppStrings::updateInstallTitle},
      {"updateInstallText", &AppStrings::updateInstallText},
      {"updateInstallButton", &AppStrings::updateInstallButton},
      {"updateLaterButton", &AppStrings::updateLaterButton},
      {"updateInstallFailedTitle", &AppStrings::updateInstallFailedTitle},
      {"updateInstallFailedText", &AppStrings::updateInstallFailedText},
      {"invitePageTitle", &AppStrings::invitePageTitle},
      {"invitePageSubtitle", &AppStrings::invitePageSubtitle},
      {"inviteWelcomeHeading", &AppStrings::inviteWelcomeHeading},
      {"inviteBodyLine1", &AppStrings::inviteBodyLine1},
      {"inviteBodyLine2", &AppStrings::inviteBodyLine2},
      {"inviteCodePlaceholder", &AppStrings::inviteCodePlaceholder},
      {"inviteSubmitBtn", &AppStrings::inviteSubmitBtn},
      {"inviteBackBtn", &AppStrings::inviteBackBtn},
      {"myInviteCodesTitle", &AppStrings::myInviteCodesTitle},
      {"myInviteCodesDesc", &AppStrings::myInviteCodesDesc},
      {"myInviteCodeUsed", &AppStrings::myInviteCodeUsed},
      {"myInviteCodeUnused", &AppStrings::myInviteCodeUnused},
      {"myInviteCodeUsedBy", &AppStrings::myInviteCodeUsedBy},
      {"myInviteCodeCopied", &AppStrings::myInviteCodeCopied},
      {"myInviteCodesBtn", &AppStrings::myInviteCodesBtn},
      {"openclawPromoTitle", &AppStrings::openclawPromoTitle},
      {"openclawPromoDesc", &AppStrings::openclawPromoDesc},
      {"openclawInstallBtn", &AppStrings::openclawInstallBtn},
      {"openclawInstalledTitle", &AppStrings::openclawInstalledTitle},
      {"openclawInstalledDesc", &AppStrings::openclawInstalledDesc},
      {"openclawServiceDownTitle", &AppStrings::openclawServiceDownTitle},
      {"openclawServiceDownDesc", &AppStrings::openclawServiceDownDesc},
      {"openclawStartBtn", &AppStrings::openclawStartBtn},
      {"openclawStartingGateway", &AppStrings::openclawStartingGateway},
      {"openclawProcessing", &AppStrings::openclawProcessing},
      {"openclawStopBtn", &AppStrings::openclawStopBtn},
      {"openclawTipNotInstalled", &AppStrings::openclawTipNotInstalled},
      {"openclawTipServiceDown", &AppStrings::openclawTipServiceDown},
      {"openclawTipSessionStarted", &AppStrings::openclawTipSessionStarted},
      {"openclawTipSessionEnded", &AppStrings::openclawTipSessionEnded},
      {"openclawTipAlreadyActive", &AppStrings::openclawTipAlreadyActive},
      {"openclawMinVersion", &AppStrings::openclawMinVersion},
      {"openclawUninstallBtn", &AppStrings::openclawUninstallBtn},
      {"openclawNoTerminal", &AppStrings::openclawNoTerminal},
      {"clipboardAccessTitle", &AppStrings::clipboardAccessTitle},
      {"clipboardAccessDesc", &AppStrings::clipboardAccessDesc},
      {"agreementTerms", &AppStrings::agreementTerms},
      {"agreementPrivacy", &AppStrings::agreementPrivacy},
      {"agreementAnd", &AppStrings::agreementAnd},
      {"agreementLoading", &AppStrings::agreementLoading},
      {"agreementLoadFailed", &AppStrings::agreementLoadFailed},
      {"agreementClose", &AppStrings::agreementClose},
  }};
  return all;
}

const AppStrings& stringsFor(AppLanguage language) {
  switch (language) {
    case AppLanguage::zh: return Strings_zh();
    case AppLanguage::zhHant: return Strings_zhHant();
    case AppLanguage::yue: return Strings_yue();
    case AppLanguage::en: break;
    case AppLanguage::ru: return Strings_ru();
    case AppLanguage::ko: return Strings_ko();
  }
  return Strings_en();
}

const AppStrings& currentStrings() { return stringsFor(LanguageManager::shared().current()); }
