#include "localization/applanguage.h"

using namespace Qt::Literals::StringLiterals;

QString rawValue(AppLanguage language) {
  switch (language) {
    case AppLanguage::zh: return u"zh"_s;
    case AppLanguage::zhHant: return u"zh-Hant"_s;
    case AppLanguage::yue: return u"yue"_s;
    case AppLanguage::en: return u"en"_s;
    case AppLanguage::ru: return u"ru"_s;
    case AppLanguage::ko: return u"ko"_s;
  }
  return u"en"_s;  // unreachable: every case returns above
}

QString displayName(AppLanguage language) {
  switch (language) {
    case AppLanguage::zh: return u"简体中文"_s;
    case AppLanguage::zhHant: return u"繁體中文"_s;
    case AppLanguage::yue: return u"粵語（廣東省版）"_s;
    case AppLanguage::en: return u"English"_s;
    case AppLanguage::ru: return u"Русский"_s;
    case AppLanguage::ko: return u"한국어"_s;
  }
  return u"English"_s;
}

std::optional<AppLanguage> appLanguageFromRawValue(const QString& raw) {
  for (AppLanguage language : allAppLanguages()) {
    if (rawValue(language) == raw) return language;
  }
  return std::nullopt;
}

const std::array<AppLanguage, 6>& allAppLanguages() {
  static constexpr std::array<AppLanguage, 6> all{AppLanguage::zh, AppLanguage::zhHant, AppLanguage::yue,
                                                  AppLanguage::en, AppLanguage::ru,     AppLanguage::ko};
  return all;
}
