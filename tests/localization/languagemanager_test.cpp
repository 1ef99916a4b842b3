#include "localization/appstrings.h"
#include "localizationstate.h"

#include <QSignalSpy>

#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kKey = u"app_language"_s;

TEST(LanguageManager, RawValuesAreExactAndDetectionTakesTheFirstPreferredLanguageItSpeaks) {
  for (AppLanguage language : allAppLanguages()) EXPECT_EQ(appLanguageFromRawValue(rawValue(language)), language);
  for (const QString& notALanguage : {u"EN"_s, u"zh-hant"_s, u"zh_Hant"_s, u" en"_s, u""_s, u"fr"_s}) {
    EXPECT_EQ(appLanguageFromRawValue(notALanguage), std::nullopt) << notALanguage.toStdString();
  }
  const std::pair<QStringList, AppLanguage> cases[] = {
      {{u"zh-Hant-TW"_s, u"en-US"_s}, AppLanguage::zhHant},
      {{u"zh-Hant-HK"_s}, AppLanguage::zhHant},  // "zh-hant" is tested before "zh-hk"
      {{u"zh-HK"_s}, AppLanguage::yue}, {{u"zh-MO"_s}, AppLanguage::yue}, {{u"yue-Hant-HK"_s}, AppLanguage::yue},
      {{u"zh-Hans-HK"_s}, AppLanguage::zh}, {{u"zh-TW"_s}, AppLanguage::zhHant}, {{u"zh-Hans-CN"_s}, AppLanguage::zh},
      {{u"fr-FR"_s, u"ru-RU"_s, u"en-US"_s}, AppLanguage::ru}, {{u"de-DE"_s}, AppLanguage::en}, {{}, AppLanguage::en},
      {{u"kok-IN"_s}, AppLanguage::ko}, {{u"KO-kr"_s}, AppLanguage::ko},  // a plain prefix test: Konkani is "kok"
      // Linux locale names with underscores mean the same as the tags.
      {{u"zh_TW"_s}, AppLanguage::zhHant}, {{u"zh_HK"_s}, AppLanguage::yue}, {{u"C"_s, u"en"_s}, AppLanguage::en}};
  for (const auto& [preferred, expected] : cases) {
    EXPECT_EQ(LanguageManager::detectSystemLanguage(preferred), expected) << preferred.join(u',').toStdString();
  }
}

// The manager is made once per process: each start runs in a fresh process
// of its own, started again from this test executable.
TEST(LanguageManager, AtStartTheStoredRawValueDecidesElseTheSystemDecidesOnceAndIsStored) {
  struct Case {
    std::optional<QString> stored;  // nothing: the key is absent
    QStringList system;
    AppLanguage expected;
    int writes;
  };
  const Case cases[] = {
      {std::nullopt, {u"zh-Hant-TW"_s, u"en-US"_s}, AppLanguage::zhHant, 1}, {std::nullopt, {u"de-DE"_s}, AppLanguage::en, 1},
      {u"en"_s, {u"zh-CN"_s}, AppLanguage::en, 0}, {u"yue"_s, {u"en-US"_s}, AppLanguage::yue, 0},
      {u"EN"_s, {u"ru-RU"_s}, AppLanguage::ru, 1}, {u"zh-hant"_s, {u"zh-HK"_s}, AppLanguage::yue, 1},
      {u""_s, {u"ko-KR"_s}, AppLanguage::ko, 1}, {u"number"_s, {u"ru"_s}, AppLanguage::ru, 1}};  // number: another type
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const Case& c : cases) {
    EXPECT_EXIT(
        {
          if (c.stored == u"number"_s) UserDefaults::shared().setInteger(kKey, 3);
          else if (c.stored) UserDefaults::shared().setText(kKey, *c.stored);
          const QStringList system = c.system;
          LanguageManager::setPreferredLanguagesProvider([system] { return system; });
          QSignalSpy writes(&UserDefaults::shared(), &UserDefaults::valueChanged);
          const QString current = rawValue(LanguageManager::shared().current());  // made here, first
          fprintf(stderr, "%s %s %d\n", qPrintable(current), qPrintable(UserDefaults::shared().text(kKey).value_or(u"-"_s)),
                  int(writes.count()));
          std::fflush(stderr);
          std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), u"%1 %1 %2"_s.arg(rawValue(c.expected)).arg(c.writes).toStdString())
        << c.stored.value_or(u"(none)"_s).toStdString();
  }
}

using LanguageSwitch = LanguageRestored;

TEST_F(LanguageSwitch, EveryAssignmentNotifiesThenWritesAlsoOfTheSameLanguage) {
  LanguageManager& manager = LanguageManager::shared();
  manager.setCurrent(AppLanguage::ko);
  QStringList seen;
  QObject observer;  // ends the connection with the test
  QObject::connect(&manager, &LanguageManager::currentChanged, &observer, [&] {
    // Observers read the new language and the old stored text: the write follows.
    seen << rawValue(manager.current()) + u'/' + UserDefaults::shared().text(kKey).value_or(QString());
    if (manager.current() == AppLanguage::ru) manager.setCurrent(AppLanguage::zh);  // an observer choosing again
  });
  QSignalSpy writes(&UserDefaults::shared(), &UserDefaults::valueChanged);
  manager.setCurrent(AppLanguage::ko);
  manager.setCurrent(AppLanguage::en);
  EXPECT_EQ(seen, QStringList({u"ko/ko"_s, u"en/ko"_s}));
  EXPECT_EQ(writes.count(), 2);
  EXPECT_EQ(currentStrings().overlayRecording, u"▶ Recording"_s);
  manager.setCurrent(AppLanguage::ru);
  EXPECT_EQ(manager.current(), AppLanguage::zh);
  EXPECT_EQ(UserDefaults::shared().text(kKey), u"zh"_s);
}

}  // namespace
