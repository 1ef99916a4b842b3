#include "localization/appstrings.h"

#include "localization/languagemanager.h"

#include <QSet>

#include <gtest/gtest.h>

#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

std::string show(AppLanguage language, const AppStrings::Field& field) {
  return rawValue(language).toStdString() + "." + field.name;
}

TEST(AppStrings, EveryFieldIsListedOnceAndFilledInEveryTable) {
  QSet<QString> names;
  QSet<const void*> members;
  for (const AppStrings::Field& field : AppStrings::fields()) {
    ASSERT_NE(field.name, nullptr);
    names.insert(QString::fromLatin1(field.name));
    // Offsets identify members without comparing pointers-to-member by hand.
    members.insert(&(stringsFor(AppLanguage::en).*field.member));
  }
  EXPECT_EQ(names.size(), AppStrings::fieldCount);
  EXPECT_EQ(members.size(), AppStrings::fieldCount);

  for (AppLanguage language : allAppLanguages()) {
    EXPECT_EQ(stringsFor(language).language, language);
    for (const AppStrings::Field& field : AppStrings::fields()) {
      const QString& text = stringsFor(language).*field.member;
      EXPECT_FALSE(text.trimmed().isEmpty()) << show(language, field);
    }
  }
}

// What a text opens and closes with: the interface's symbols with the spaces
// beside them, and a closing ellipsis.
struct Frame {
  std::u32string lead;
  std::u32string trail;
  bool operator==(const Frame&) const = default;
};

Frame frameOf(const QString& text) {
  static const std::u32string symbols = U"⟐◈▶◉●○◂▸■⏳✓🦞[] ";
  const std::u32string s = text.toStdU32String();
  size_t begin = 0;
  while (begin < s.size() && symbols.find(s[begin]) != std::u32string::npos) ++begin;
  size_t end = s.size();
  while (end > begin && symbols.find(s[end - 1]) != std::u32string::npos) --end;
  for (const std::u32string ellipsis : {U"...", U"…"}) {
    if (end - begin >= ellipsis.size() && s.compare(end - ellipsis.size(), ellipsis.size(), ellipsis) == 0) {
      end -= ellipsis.size();
      break;
    }
  }
  return {s.substr(0, begin), s.substr(end)};
}

TEST(AppStrings, EveryTableKeepsTheSymbolsPlaceholdersAndMarkupOfEnglish) {
  const AppStrings& en = stringsFor(AppLanguage::en);
  for (AppLanguage language : allAppLanguages()) {
    for (const AppStrings::Field& field : AppStrings::fields()) {
      const QString& english = en.*field.member;
      const QString& text = stringsFor(language).*field.member;
      EXPECT_TRUE(frameOf(text) == frameOf(english)) << show(language, field) << ": " << text.toStdString();
      EXPECT_EQ(text.count(u"%d"_s), english.count(u"%d"_s)) << show(language, field);
      EXPECT_EQ(text.count(u'%'), english.count(u'%')) << show(language, field);
      EXPECT_EQ(text.count(u"**"_s), english.count(u"**"_s)) << show(language, field);
      EXPECT_EQ(text.count(u" :: "_s), english.count(u" :: "_s)) << show(language, field);
      EXPECT_EQ(text.count(u'\n'), english.count(u'\n')) << show(language, field);
      // Product names are never translated, and a text names one exactly
      // where the English text does.
      for (const QString& name : {u"Veltrine"_s, u"OpenClaw"_s}) {
        EXPECT_EQ(text.contains(name), english.contains(name)) << show(language, field) << " naming " << name.toStdString();
      }
    }
  }
}

TEST(AppStrings, NoTableLeavesATextInEnglish) {
  const AppStrings& en = stringsFor(AppLanguage::en);
  for (AppLanguage language : allAppLanguages()) {
    if (language == AppLanguage::en) continue;
    for (const AppStrings::Field& field : AppStrings::fields()) {
      const QString name = QString::fromLatin1(field.name);
      if (name == u"appNameShort"_s || name == u"appNameFull"_s) continue;  // the product's name everywhere
      EXPECT_NE(stringsFor(language).*field.member, en.*field.member) << show(language, field);
    }
  }
}

TEST(AppStrings, EnglishAndRussianWriteTitlesStatusWordsAndTagsInCapitals) {
  for (AppLanguage language : {AppLanguage::en, AppLanguage::ru}) {
    for (const AppStrings::Field& field : AppStrings::fields()) {
      const QString name = QString::fromLatin1(field.name);
      const QString& english = stringsFor(AppLanguage::en).*field.member;
      const bool capitals = name.startsWith(u"page"_s) || name.startsWith(u"section"_s) ||
                            name.startsWith(u"status"_s) || name.startsWith(u"label"_s) || english.startsWith(u'[');
      if (!capitals) continue;
      const QString& text = stringsFor(language).*field.member;
      EXPECT_EQ(text, text.toUpper()) << show(language, field);
    }
  }
}

TEST(AppStrings, OnboardingNamesThisProductAndDoesNotClaimThatNothingIsUploaded) {
  const AppStrings& en = stringsFor(AppLanguage::en);
  EXPECT_EQ(en.onboardingWelcomeTitle, u"Welcome to Veltrine"_s);
  EXPECT_EQ(en.onboardingPermDesc,
            u"Veltrine needs the following permissions to work. Recordings are sent to the Veltrine service for processing."_s);
}

TEST(AppStrings, FormattingMethodsInEveryLanguage) {
  struct Case {
    AppLanguage language;
    const char16_t* more;     // moreCount(1234567)
    const char16_t* records;  // recordCount(-5)
    const char16_t* crashes;  // menuUploadCrashLogs(2)
    const char16_t* confirm;  // deleteHotwordConfirm(word)
  };
  const Case cases[] = {
      {AppLanguage::zh, u"更多 (1234567)", u"-5 条记录", u"上报崩溃日志（2 条）", u"确定要删除热词「 a\"%1 」吗？"},
      {AppLanguage::zhHant, u"更多 (1234567)", u"-5 筆記錄", u"上報崩潰日誌（2 條）", u"確定要刪除熱詞「 a\"%1 」嗎？"},
      {AppLanguage::yue, u"更多 (1234567)", u"-5 條記錄", u"上報崩潰日誌（2 條）", u"確定要刪除熱詞「 a\"%1 」嗎？"},
      {AppLanguage::en, u"MORE (1234567)", u"-5 REC", u"Upload Crash Logs (2)", u"Delete hotword \" a\"%1 \"?"},
      {AppLanguage::ru, u"ЕЩЁ (1234567)", u"-5 зап.", u"Отправить отчёты о сбоях (2)", u"Удалить слово « a\"%1 »?"},
      {AppLanguage::ko, u"더 보기 (1234567)", u"-5개 기록", u"크래시 로그 업로드 (2건)", u"단어 「 a\"%1 」을(를) 삭제하시겠습니까?"},
  };
  const QString word = u" a\"%1 "_s;  // inserted as given: no trimming, no escaping, no %-substitution
  for (const Case& c : cases) {
    const AppStrings& s = stringsFor(c.language);
    const std::string where = rawValue(c.language).toStdString();
    EXPECT_EQ(s.moreCount(1234567), QString::fromUtf16(c.more)) << where;
    EXPECT_EQ(s.recordCount(-5), QString::fromUtf16(c.records)) << where;
    EXPECT_EQ(s.menuUploadCrashLogs(2), QString::fromUtf16(c.crashes)) << where;
    EXPECT_EQ(s.deleteHotwordConfirm(word), QString::fromUtf16(c.confirm)) << where;
    EXPECT_EQ(s.charCount(3, 50), u"3/50"_s) << where;
    EXPECT_EQ(s.charCount(0, 0), u"0/0"_s) << where;
    EXPECT_EQ(s.charCount(12000, 10000), u"12000/10000"_s) << where;
    EXPECT_EQ(s.accountCreditsResetDate(u" 2026-03-01 %1"_s), u" 2026-03-01 %1"_s) << where;
  }
  EXPECT_EQ(stringsFor(AppLanguage::en).recordCount(0), u"0 REC"_s);
  EXPECT_EQ(stringsFor(AppLanguage::ko).recordCount(0), u"0개 기록"_s);
  EXPECT_EQ(stringsFor(AppLanguage::en).deleteHotwordConfirm(QString()), u"Delete hotword \"\"?"_s);
}

TEST(AppStrings, CurrentStringsFollowsTheLanguageWhileAFetchedTableKeepsItsTexts) {
  LanguageManager::shared().setCurrent(AppLanguage::yue);
  const AppStrings& before = currentStrings();
  EXPECT_EQ(before.overlayRecording, u"▶ 錄緊音"_s);

  LanguageManager::shared().setCurrent(AppLanguage::en);
  EXPECT_EQ(currentStrings().overlayRecording, u"▶ Recording"_s);
  EXPECT_EQ(before.overlayRecording, u"▶ 錄緊音"_s);
}

}  // namespace
