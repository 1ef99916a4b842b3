#pragma once

#include "core/userdefaults.h"
#include "localization/languagemanager.h"

#include <gtest/gtest.h>

// Tests that switch the language put it back, with what was stored, for the
// tests that run after them in the same process.
class LanguageRestored : public ::testing::Test {
 protected:
  void TearDown() override {
    LanguageManager::shared().setCurrent(language_);
    if (stored_) UserDefaults::shared().setText(QStringLiteral("app_language"), *stored_);
  }
  AppLanguage language_ = LanguageManager::shared().current();
  std::optional<QString> stored_ = UserDefaults::shared().text(QStringLiteral("app_language"));
};
