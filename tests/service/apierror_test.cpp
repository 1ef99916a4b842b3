#include "service/apierror.h"
#include "service/errordescription.h"
#include "service/transporterror.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"

#include <gtest/gtest.h>

namespace {

APIErrorResponse body(const char* code) {
  return {QString::fromLatin1(code), QStringLiteral("the service's own words"), std::nullopt};
}

// Each error reads in the language current when it is shown, not when it was made.
TEST(APIError, EachCaseReadsAsTheTextOfTheCurrentLanguage) {
  const APIError stored = APIError::httpError(413, QStringLiteral("too long"), body("DURATION_EXCEEDED"));
  const TransportError lost(TransportError::Kind::connectionLost, QStringLiteral("Connection closed"));
  const struct { const char* name; APIError error; QString AppStrings::*text; } cases[] = {
      {"known code", APIError::httpError(402, QStringLiteral("m"), body("CREDITS_EXHAUSTED")),
       &AppStrings::errorCreditsExhausted},
      {"stored before a switch", stored, &AppStrings::errorDurationExceeded},
      {"unknown code", APIError::httpError(400, QStringLiteral("m"), body("BRAND_NEW_CODE")), &AppStrings::errorUnknown},
      {"no body", APIError::httpError(500, QStringLiteral("Unknown error"), std::nullopt), &AppStrings::errorUnknown},
      {"decoding", APIError::decodingError(QStringLiteral("key missing")), &AppStrings::errorDecode},
      {"unauthorized", APIError::unauthorized(), &AppStrings::errorUnauthorized},
      {"banned", APIError::userBanned(), &AppStrings::errorUserBanned},
  };
  for (const AppLanguage language : allAppLanguages()) {
    LanguageManager::shared().setCurrent(language);
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " in " + rawValue(language).toStdString());
      EXPECT_FALSE(c.error.errorDescription().isEmpty());
      EXPECT_EQ(describeError(c.error), stringsFor(language).*c.text);
    }
    EXPECT_EQ(describeError(lost), stringsFor(language).errorConnectionLost);
  }
  LanguageManager::shared().setCurrent(AppLanguage::en);
  EXPECT_EQ(describeError(std::runtime_error("disk full")), QStringLiteral("disk full"));
}

}  // namespace
