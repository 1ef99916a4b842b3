#pragma once

#include "localization/applanguage.h"

#include <QObject>
#include <QStringList>

#include <functional>

// The interface language in use. Created on first use: a language stored under
// "app_language" decides; without one (or with a text that is no raw value) the
// system's preferred languages decide once and the choice is stored, so later
// changes of the system language leave the program alone.
//
// Views connect to currentChanged and read their texts again through
// currentStrings(); anything else (a menu title, a message) simply takes the
// new language the next time it is made. Main thread only.
class LanguageManager : public QObject {
  Q_OBJECT
  Q_PROPERTY(AppLanguage current READ current WRITE setCurrent NOTIFY currentChanged)

 public:
  static LanguageManager& shared();

  AppLanguage current() const { return current_; }

  // Every assignment notifies, also one of the language already in use (a
  // picker re-selecting it re-renders and re-saves), and then writes
  // "app_language".
  void setCurrent(AppLanguage language);

  // The first language of `preferred` that the program speaks, English when
  // none is. Entries are tested, lower-cased, against the prefixes "yue",
  // "zh-hant", "zh-tw", "zh-hk", "zh-mo", "zh", "ko", "ru", "en" in that
  // order: a plain prefix test, so "zh-Hant-HK" is traditional Chinese and
  // "zh-HK" Cantonese.
  static AppLanguage detectSystemLanguage(const QStringList& preferred);
  // The same over the system's list (QLocale::system().uiLanguages()).
  static AppLanguage detectSystemLanguage();

  // Replaces where the system's preferred languages come from (tests); an
  // empty function restores the system's list. Takes effect for the next
  // detection, so set it before the first shared().
  using PreferredLanguagesProvider = std::function<QStringList()>;
  static void setPreferredLanguagesProvider(PreferredLanguagesProvider provider);

 Q_SIGNALS:
  void currentChanged();

 private:
  LanguageManager();

  AppLanguage current_ = AppLanguage::en;
};
