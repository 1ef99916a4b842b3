#include "localization/languagemanager.h"

#include "core/userdefaults.h"

#include <QLocale>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kLanguageKey = u"app_language"_s;

LanguageManager::PreferredLanguagesProvider& preferredLanguagesProvider() {
  static LanguageManager::PreferredLanguagesProvider provider;
  return provider;
}

}  // namespace

LanguageManager& LanguageManager::shared() {
  static LanguageManager* instance = new LanguageManager();
  return *instance;
}

LanguageManager::LanguageManager() {
  const std::optional<QString> stored = UserDefaults::shared().text(kLanguageKey);
  if (const std::optional<AppLanguage> language = appLanguageFromRawValue(stored.value_or(QString()))) {
    current_ = *language;
    return;
  }
  // First start, or a stored text that names no language: decide once from the
  // system and keep that decision. A plain write, nobody observes us yet.
  current_ = detectSystemLanguage();
  UserDefaults::shared().setText(kLanguageKey, rawValue(current_));
}

void LanguageManager::setCurrent(AppLanguage language) {
  current_ = language;
  Q_EMIT currentChanged();
  // Save what is current now rather than `language`: an observer that assigned
  // again while being notified has already saved its own choice, and the
  // stored value must end up equal to the language in use.
  UserDefaults::shared().setText(kLanguageKey, rawValue(current_));
}

AppLanguage LanguageManager::detectSystemLanguage(const QStringList& preferred) {
  struct Prefix {
    QLatin1StringView text;
    AppLanguage language;
  };
  // Order matters: the longer Chinese prefixes before "zh".
  static constexpr Prefix prefixes[] = {
      {"yue"_L1, AppLanguage::yue},    {"zh-hant"_L1, AppLanguage::zhHant}, {"zh-tw"_L1, AppLanguage::zhHant},
      {"zh-hk"_L1, AppLanguage::yue},  {"zh-mo"_L1, AppLanguage::yue},      {"zh"_L1, AppLanguage::zh},
      {"ko"_L1, AppLanguage::ko},      {"ru"_L1, AppLanguage::ru},          {"en"_L1, AppLanguage::en},
  };
  for (const QString& entry : preferred) {
    // Linux locale names write "zh_TW" where the BCP 47 tags we expect write
    // "zh-TW"; both must name the same language.
    const QString tag = entry.toLower().replace(u'_', u'-');
    for (const Prefix& prefix : prefixes) {
      if (tag.startsWith(prefix.text)) return prefix.language;
    }
  }
  return AppLanguage::en;
}

AppLanguage LanguageManager::detectSystemLanguage() {
  const PreferredLanguagesProvider& provider = preferredLanguagesProvider();
  return detectSystemLanguage(provider ? provider() : QLocale::system().uiLanguages());
}

void LanguageManager::setPreferredLanguagesProvider(PreferredLanguagesProvider provider) {
  preferredLanguagesProvider() = std::move(provider);
}
