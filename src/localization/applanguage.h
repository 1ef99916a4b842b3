#pragma once

#include <QString>

#include <array>
#include <optional>

// The six interface languages, in the order every language list shows them.
// The raw value is also a wire value: the service client sends it as
// "X-Accept-Language", and it is what "app_language" stores.
enum class AppLanguage { zh, zhHant, yue, en, ru, ko };

// "zh", "zh-Hant", "yue", "en", "ru", "ko".
QString rawValue(AppLanguage language);

// The name a language picker shows: each language in its own script, the same
// whatever the interface language is.
QString displayName(AppLanguage language);

// Exactly the six raw values, compared case-sensitively; anything else is no
// language (a stored "EN" is not English).
std::optional<AppLanguage> appLanguageFromRawValue(const QString& raw);

// All six, in order.
const std::array<AppLanguage, 6>& allAppLanguages();
