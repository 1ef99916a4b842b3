#include "service/mediumdateformat.h"

#include <unicode/udat.h>
#include <unicode/uloc.h>

#include <array>
#include <memory>

namespace MediumDateFormat {

QString format(const QDateTime& instant, const QLocale& locale) {
  // QLocale names "zh-Hant" as "zh-TW" and Cantonese as "yue": both are tags
  // ICU knows.
  UErrorCode status = U_ZERO_ERROR;
  std::array<char, ULOC_FULLNAME_CAPACITY> localeId{};
  uloc_forLanguageTag(locale.bcp47Name().toLatin1().constData(), localeId.data(),
                      static_cast<int32_t>(localeId.size()), nullptr, &status);
  if (U_FAILURE(status)) return {};

  // No zone given: ICU's default, the user's.
  const std::unique_ptr<UDateFormat, decltype(&udat_close)> formatter(
      udat_open(UDAT_NONE, UDAT_MEDIUM, localeId.data(), nullptr, -1, nullptr, 0, &status), &udat_close);
  if (U_FAILURE(status)) return {};

  std::array<UChar, 128> text{};
  const int32_t length = udat_format(formatter.get(), static_cast<UDate>(instant.toMSecsSinceEpoch()), text.data(),
                                     static_cast<int32_t>(text.size()), nullptr, &status);
  if (U_FAILURE(status)) return {};
  return QString::fromUtf16(text.data(), length);
}

}  // namespace MediumDateFormat
