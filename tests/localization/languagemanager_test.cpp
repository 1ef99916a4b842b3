#include "localization/languagemanager.h"

#include "core/userdefaults.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kKey = u"app_language"_s;

TEST(AppLanguage, RawValuesAreExactAndCaseSensitive) {
  QStringList raws;
  for (AppLanguage language : allAppLanguages()) {
    raws << rawValue(language);
    EXPECT_EQ(appLanguageFromRawValue(rawValue(language)), language);
  }
  EXPECT_EQ(raws, QStringList({u"zh"_s, u"zh-Hant"_s, u"yue"_s, u"en"_s, u"ru"_s, u"ko"_s}));
  for (const QString& notALanguage : {u"EN"_s, u"zh-hant"_s, u"zh_Hant"_s, u" en"_s, u""_s, u"fr"_s}) {
    EXPECT_EQ(appLanguageFromRawValue(notALanguage), std::nullopt) << notALanguage.toStdString();
  }
  EXPECT_EQ(displayName(AppLanguage::yue), u"粵語（廣東省版）"_s);
  EXPECT_EQ(displayName(AppLanguage::ru), u"Русский"_s);
}

TEST(LanguageManager, DetectsTheFirstPreferredLanguageItSpeaks) {
  struct Case {
    QStringList preferred;
    AppLanguage expected;
  };
  const Case cases[] = {
      {{u"zh-Hant-TW"_s, u"en-US"_s}, AppLanguage::zhHant},
      // "zh-hant" is tested before "zh-hk".
      {{u"zh-Hant-HK"_s}, AppLanguage::zhHant},
      {{u"zh-HK"_s}, AppLanguage::yue},
      {{u"zh-MO"_s}, AppLanguage::yue},
      {{u"yue-Hant-HK"_s}, AppLanguage::yue},
      // Begins with "zh" but with none of the longer prefixes.
      {{u"zh-Hans-HK"_s}, AppLanguage::zh},
      {{u"zh-TW"_s}, AppLanguage::zhHant},
      {{u"zh-Hans-CN"_s}, AppLanguage::zh},
      {{u"fr-FR"_s, u"ru-RU"_s, u"en-US"_s}, AppLanguage::ru},
      {{u"de-DE"_s}, AppLanguage::en},
      {{}, AppLanguage::en},
      // A plain prefix test: Konkani begins with "ko".
      {{u"kok-IN"_s}, AppLanguage::ko},
      {{u"KO-kr"_s}, AppLanguage::ko},
      // Linux locale names with underscores mean the same as the tags.
      {{u"zh_TW"_s}, AppLanguage::zhHant},
      {{u"zh_HK"_s}, AppLanguage::yue},
      {{u"C"_s, u"en"_s}, AppLanguage::en},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LanguageManager::detectSystemLanguage(c.preferred), c.expected) << c.preferred.join(u',').toStdString();
  }
}

// Start-up, one process per case so that the shared manager starts fresh.
struct StartCase {
  const char* name;
  std::optional<QString> stored;  // nothing: the key is absent
  QStringList system;
  AppLanguage expected;
  bool writes;
};

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class LanguageManagerStart : public ::testing::TestWithParam<StartCase> {};

TEST_P(LanguageManagerStart, StoredRawValueDecidesElseTheSystemDecidesOnce) {
  const StartCase& c = GetParam();
  if (c.stored) UserDefaults::shared().setText(kKey, *c.stored);
  const QStringList system = c.system;
  LanguageManager::setPreferredLanguagesProvider([system] { return system; });
  QSignalSpy writes(&UserDefaults::shared(), &UserDefaults::valueChanged);

  EXPECT_EQ(LanguageManager::shared().current(), c.expected);
  EXPECT_EQ(writes.count(), c.writes ? 1 : 0);
  EXPECT_EQ(UserDefaults::shared().text(kKey), rawValue(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageManagerStart,
    ::testing::Values(StartCase{"NothingStored", std::nullopt, {u"zh-Hant-TW"_s, u"en-US"_s}, AppLanguage::zhHant, true},
                      StartCase{"NothingStoredUnknownSystem", std::nullopt, {u"de-DE"_s}, AppLanguage::en, true},
                      StartCase{"StoredWins", u"en"_s, {u"zh-CN"_s}, AppLanguage::en, false},
                      StartCase{"StoredCantonese", u"yue"_s, {u"en-US"_s}, AppLanguage::yue, false},
                      StartCase{"WrongCaseEn", u"EN"_s, {u"ru-RU"_s}, AppLanguage::ru, true},
                      StartCase{"WrongCaseZhHant", u"zh-hant"_s, {u"zh-HK"_s}, AppLanguage::yue, true},
                      StartCase{"Empty", u""_s, {u"ko-KR"_s}, AppLanguage::ko, true}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

TEST(LanguageManager, AStoredValueOfAnotherTypeIsReplacedByTheDetectedLanguage) {
  UserDefaults::shared().setInteger(kKey, 3);
  LanguageManager::setPreferredLanguagesProvider([] { return QStringList{u"ru"_s}; });
  EXPECT_EQ(LanguageManager::shared().current(), AppLanguage::ru);
  EXPECT_EQ(UserDefaults::shared().text(kKey), u"ru"_s);
}

TEST(LanguageManager, EveryAssignmentNotifiesThenWritesAlsoOfTheSameLanguage) {
  UserDefaults::shared().setText(kKey, u"ko"_s);
  LanguageManager& manager = LanguageManager::shared();
  QSignalSpy changes(&manager, &LanguageManager::currentChanged);
  QStringList seenByObservers;
  QObject observer;  // ends the connection with the test
  QObject::connect(&manager, &LanguageManager::currentChanged, &observer, [&] {
    // Observers read the new language and the old stored text: the write follows.
    seenByObservers << rawValue(manager.current()) + u'/' + UserDefaults::shared().text(kKey).value_or(QString());
  });
  QSignalSpy writes(&UserDefaults::shared(), &UserDefaults::valueChanged);

  manager.setCurrent(AppLanguage::ko);
  manager.setCurrent(AppLanguage::ko);
  manager.setCurrent(AppLanguage::en);

  EXPECT_EQ(changes.count(), 3);
  EXPECT_EQ(writes.count(), 3);
  EXPECT_EQ(seenByObservers, QStringList({u"ko/ko"_s, u"ko/ko"_s, u"en/ko"_s}));
  EXPECT_EQ(UserDefaults::shared().text(kKey), u"en"_s);
  EXPECT_EQ(manager.property("current").value<AppLanguage>(), AppLanguage::en);
}

TEST(LanguageManager, AnObserverThatAssignsAgainLeavesItsChoiceStored) {
  UserDefaults::shared().setText(kKey, u"en"_s);
  LanguageManager& manager = LanguageManager::shared();
  QObject observer;
  QObject::connect(&manager, &LanguageManager::currentChanged, &observer, [&] {
    if (manager.current() == AppLanguage::ru) manager.setCurrent(AppLanguage::zh);
  });
  manager.setCurrent(AppLanguage::ru);
  EXPECT_EQ(manager.current(), AppLanguage::zh);
  EXPECT_EQ(UserDefaults::shared().text(kKey), u"zh"_s);
}

}  // namespace
