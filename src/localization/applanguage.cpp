#include "localization/applanguage.h"

using namespace Qt::Literals::StringLiterals;

namespace {

struct Names {
  QString raw;
  QString display;
};

// Indexed by the enumeration, in its order.
const Names& namesOf(AppLanguage language) {
  static const Names names[] = {
      {u"zh"_s, u"简体中文"_s},       {u"zh-Hant"_s, u"繁體中文"_s}, {u"yue"_s, u"粵語（廣東省版）"_s},
      {u"en"_s, u"English"_s},        {u"ru"_s, u"Русский"_s},       {u"ko"_s, u"한국어"_s},
  };
  return names[static_cast<size_t>(language)];
}

}  // namespace

QString rawValue(AppLanguage language) { return namesOf(language).raw; }

QString displayName(AppLanguage language) { return namesOf(language).display; }

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
