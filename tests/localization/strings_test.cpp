// The six text tables, their formatting methods and the service's codes.
#include "localization/appstrings.h"
#include "localization/desktophelpstrings.h"
#include "localization/servermessages.h"

#include "localizationstate.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// What a text opens and closes with: the interface's symbols with the spaces
// beside them, and a closing ellipsis.
std::pair<std::u32string, std::u32string> frameOf(const QString& text) {
  static const std::u32string symbols = U"⟐◈▶◉●○◂▸■⏳✓🦞[] ";
  const std::u32string s = text.toStdU32String();
  size_t begin = 0, end = s.size();
  while (begin < end && symbols.find(s[begin]) != s.npos) ++begin;
  while (end > begin && symbols.find(s[end - 1]) != s.npos) --end;
  for (const std::u32string ellipsis : {U"...", U"…"}) {
    if (s.substr(begin, end - begin).ends_with(ellipsis)) {
      end -= ellipsis.size();
      break;
    }
  }
  return {s.substr(0, begin), s.substr(end)};
}

// Every text of every table against the English one: present, translated,
// with the same symbols, placeholders, markup and line breaks.
TEST(Strings, EveryTableHasEveryTextTranslatedWithEnglishsPlaceholdersAndMarkup) {
  const AppStrings& en = stringsFor(AppLanguage::en);
  const auto texts = [](AppLanguage language) {
    const DesktopHelpStrings& h = desktopHelpStrings(language);
    QList<std::pair<QString, QString>> all;
    for (const QString* text : {&h.trustTitle, &h.trustText, &h.microphoneSettingsTitle, &h.microphoneSettingsText,
                                &h.accessibilitySettingsTitle, &h.accessibilitySettingsText}) {
      all.append({u"desktopHelp"_s, *text});
    }
    for (const AppStrings::Field& field : AppStrings::fields()) {
      all.append({QString::fromLatin1(field.name), stringsFor(language).*field.member});
    }
    return all;
  };
  const QList<std::pair<QString, QString>> english = texts(AppLanguage::en);
  for (AppLanguage language : allAppLanguages()) {
    const QList<std::pair<QString, QString>> table = texts(language);
    ASSERT_EQ(table.size(), english.size());
    for (qsizetype i = 0; i < table.size(); ++i) {
      const auto& [name, text] = table[i];
      const QString& source = english[i].second;
      SCOPED_TRACE((rawValue(language) + u'.' + name + u": "_s + text).toStdString());
      EXPECT_FALSE(text.trimmed().isEmpty());
      EXPECT_TRUE(frameOf(text) == frameOf(source));
      for (const QString& mark : {u"%d"_s, u"%1"_s, u"%"_s, u"**"_s, u" :: "_s, u"\n"_s}) {
        EXPECT_EQ(text.count(mark), source.count(mark)) << mark.toStdString();
      }
      // Product names are never translated, and named exactly where English does.
      for (const QString& product : {u"Veltrine"_s, u"OpenClaw"_s}) {
        EXPECT_EQ(text.contains(product), source.contains(product)) << product.toStdString();
      }
      if (language != AppLanguage::en && !name.startsWith(u"appName"_s)) {
        EXPECT_NE(text, source);
      }
      // English and Russian write titles, status words and tags in capitals.
      const bool capitals = name.startsWith(u"page"_s) || name.startsWith(u"section"_s) ||
                            name.startsWith(u"status"_s) || name.startsWith(u"label"_s) || source.startsWith(u'[');
      if (capitals && (language == AppLanguage::en || language == AppLanguage::ru)) {
        EXPECT_EQ(text, text.toUpper());
      }
    }
  }
  EXPECT_EQ(desktopHelpStrings(AppLanguage::en).trustText.count(u"%1"_s), 1);
  // Cantonese is spoken Cantonese, not the Taiwan table again.
  EXPECT_NE(desktopHelpStrings(AppLanguage::yue).trustText, desktopHelpStrings(AppLanguage::zhHant).trustText);
  // The welcome names this product and does not claim that nothing is uploaded.
  EXPECT_EQ(en.onboardingPermDesc, u"Veltrine needs the following permissions to work. Recordings are sent to the "
                                   u"Veltrine service for processing."_s);
}

TEST(Strings, FormattingMethodsInEveryLanguage) {
  const struct { AppLanguage language; const char16_t *more, *records, *crashes, *confirm; } cases[] = {
      {AppLanguage::zh, u"更多 (1234567)", u"-5 条记录", u"上报崩溃日志（2 条）", u"确定要删除热词「 a\"%1 」吗？"},
      {AppLanguage::zhHant, u"更多 (1234567)", u"-5 筆記錄", u"上報崩潰日誌（2 條）", u"確定要刪除熱詞「 a\"%1 」嗎？"},
      {AppLanguage::yue, u"更多 (1234567)", u"-5 條記錄", u"上報崩潰日誌（2 條）", u"確定要刪除熱詞「 a\"%1 」嗎？"},
      {AppLanguage::en, u"MORE (1234567)", u"-5 REC", u"Upload Crash Logs (2)", u"Delete hotword \" a\"%1 \"?"},
      {AppLanguage::ru, u"ЕЩЁ (1234567)", u"-5 зап.", u"Отправить отчёты о сбоях (2)", u"Удалить слово « a\"%1 »?"},
      {AppLanguage::ko, u"더 보기 (1234567)", u"-5개 기록", u"크래시 로그 업로드 (2건)", u"단어 「 a\"%1 」을(를) 삭제하시겠습니까?"},
  };
  for (const auto& c : cases) {  // 1234567 more, -5 records, 2 crash logs, deleting a word
    const AppStrings& s = stringsFor(c.language);
    SCOPED_TRACE(rawValue(c.language).toStdString());
    EXPECT_EQ(s.moreCount(1234567), QString::fromUtf16(c.more));
    EXPECT_EQ(s.recordCount(-5), QString::fromUtf16(c.records));
    EXPECT_EQ(s.menuUploadCrashLogs(2), QString::fromUtf16(c.crashes));
    // A word is inserted as given: no trimming, no escaping, no %-substitution.
    EXPECT_EQ(s.deleteHotwordConfirm(u" a\"%1 "_s), QString::fromUtf16(c.confirm));
    EXPECT_EQ(s.charCount(12000, 10000) + s.accountCreditsResetDate(u" 2026-03-01 %1"_s), u"12000/10000 2026-03-01 %1"_s);
  }
}

using ServerMessages = LanguageRestored;

TEST_F(ServerMessages, EveryCodeOfTheServiceHasItsMessageInTheLanguageCurrentWhenAsked) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  const AppStrings& s = currentStrings();
  const std::pair<QString, QString> errors[] = {
      {u"UNAUTHORIZED"_s, s.errorUnauthorized}, {u"INVALID_AUDIO"_s, s.errorInvalidAudio},
      {u"DURATION_EXCEEDED"_s, s.errorDurationExceeded}, {u"UNSUPPORTED_OPERATION"_s, s.errorUnsupportedOp},
      {u"PROVIDER_ERROR"_s, s.errorProviderError}, {u"INVALID_CODE"_s, s.errorInvalidCode},
      {u"HOTWORD_DUPLICATE"_s, s.errorHotwordDuplicate}, {u"HOTWORD_NOT_FOUND"_s, s.errorHotwordNotFound},
      {u"HOTWORD_LIMIT_REACHED"_s, s.errorHotwordLimit}, {u"SHORTCUT_NOT_FOUND"_s, s.errorShortcutNotFound},
      {u"USER_CANCELLED"_s, s.errorUserCancelled}, {u"INVALID_INVITE_CODE"_s, s.errorInvalidInviteCode},
      {u"INVITE_SESSION_EXPIRED"_s, s.errorInviteSessionExpired}, {u"DEVICE_LIMIT_REACHED"_s, s.errorDeviceLimitReached},
      {u"IP_LIMIT_REACHED"_s, s.errorIpLimitReached}, {u"REG_LIMIT_REACHED"_s, s.errorIpLimitReached},
      {u"DISPOSABLE_EMAIL"_s, s.errorDisposableEmail}, {u"SEND_CODE_TOO_FREQUENT"_s, s.errorSendCodeTooFrequent},
      {u"REGISTRATION_CLOSED"_s, s.errorRegistrationClosed}, {u"OPENCLAW_NOT_INSTALLED"_s, s.openclawTipNotInstalled},
      {u"OPENCLAW_SERVICE_DOWN"_s, s.openclawTipServiceDown}, {u"CREDITS_EXHAUSTED"_s, s.errorCreditsExhausted},
      {u"USER_BANNED"_s, s.errorUserBanned},
      // Unknown, differently written, an agent status, or empty: the fixed fallback.
      {u"credits_exhausted"_s, s.errorUnknown}, {u" UNAUTHORIZED"_s, s.errorUnknown},
      {u"OPENCLAW_SESSION_STARTED"_s, s.errorUnknown}, {QString(), s.errorUnknown}};
  for (const auto& [code, message] : errors) EXPECT_EQ(localizedServerError(code), message) << code.toStdString();
  const std::pair<QString, QString> statuses[] = {
      {u"OPENCLAW_NOT_INSTALLED"_s, s.openclawTipNotInstalled}, {u"OPENCLAW_SERVICE_DOWN"_s, s.openclawTipServiceDown},
      {u"OPENCLAW_SESSION_STARTED"_s, s.openclawTipSessionStarted},
      {u"OPENCLAW_SESSION_ENDED"_s, s.openclawTipSessionEnded},
      {u"OPENCLAW_ALREADY_ACTIVE"_s, s.openclawTipAlreadyActive},
      {u"CREDITS_EXHAUSTED"_s, u"CREDITS_EXHAUSTED"_s}, {QString(), QString()}};  // else the agent's own words
  for (const auto& [text, message] : statuses) EXPECT_EQ(localizedOpenClawStatus(text), message) << text.toStdString();

  const AppStrings& english = currentStrings();  // fetched before a switch: keeps its texts
  LanguageManager::shared().setCurrent(AppLanguage::zh);
  EXPECT_EQ(localizedServerError(u"CREDITS_EXHAUSTED"_s), u"积分已耗尽，请等待重置或联系管理员"_s);
  EXPECT_EQ(localizedOpenClawStatus(u"OPENCLAW_SESSION_STARTED"_s), u"🦞 OpenClaw 对话已开启"_s);
  EXPECT_EQ(localizedServerError(u"??"_s), stringsFor(AppLanguage::zh).errorUnknown);
  EXPECT_EQ(english.overlayRecording, u"▶ Recording"_s);
  EXPECT_EQ(currentStrings().overlayRecording, stringsFor(AppLanguage::zh).overlayRecording);
}

}  // namespace
