#include "service/apierror.h"
#include "service/errordescription.h"
#include "service/transporterror.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

APIErrorResponse body(const char* code) {
  return {QString::fromLatin1(code), QStringLiteral("the service's own words"), std::nullopt};
}

TEST(APIError, EachCaseReadsAsTheTextOfTheCurrentLanguage) {
  const struct {
    const char* name;
    APIError error;
    std::function<QString(const AppStrings&)> text;
  } cases[] = {
      {"http error with a known code", APIError::httpError(402, QStringLiteral("m"), body("CREDITS_EXHAUSTED")),
       [](const AppStrings& s) { return s.errorCreditsExhausted; }},
      {"http error with an unknown code", APIError::httpError(400, QStringLiteral("m"), body("BRAND_NEW_CODE")),
       [](const AppStrings& s) { return s.errorUnknown; }},
      {"http error with a code in lower case", APIError::httpError(403, QStringLiteral("m"), body("user_banned")),
       [](const AppStrings& s) { return s.errorUnknown; }},
      {"http error without a body", APIError::httpError(500, QStringLiteral("Unknown error"), std::nullopt),
       [](const AppStrings& s) { return s.errorUnknown; }},
      {"decoding error", APIError::decodingError(QStringLiteral("key missing")),
       [](const AppStrings& s) { return s.errorDecode; }},
      {"network error", APIError::networkError(QStringLiteral("bad server response")),
       [](const AppStrings& s) { return s.errorNetwork; }},
      {"unauthorized", APIError::unauthorized(), [](const AppStrings& s) { return s.errorUnauthorized; }},
      {"user banned", APIError::userBanned(), [](const AppStrings& s) { return s.errorUserBanned; }},
  };
  for (const AppLanguage language : {AppLanguage::en, AppLanguage::yue, AppLanguage::ko}) {
    LanguageManager::shared().setCurrent(language);
    for (const auto& c : cases) {
      const QString text = c.error.errorDescription();
      EXPECT_FALSE(text.isEmpty()) << c.name;
      EXPECT_EQ(text, c.text(stringsFor(language))) << c.name << " in " << rawValue(language).toStdString();
      EXPECT_EQ(describeError(c.error), text) << c.name;
    }
  }
}

TEST(APIError, AStoredErrorFollowsALanguageSwitchAndAStoredTextDoesNot) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  const APIError error = APIError::httpError(413, QStringLiteral("too long"), body("DURATION_EXCEEDED"));
  const QString english = error.errorDescription();
  LanguageManager::shared().setCurrent(AppLanguage::zh);
  EXPECT_EQ(error.errorDescription(), stringsFor(AppLanguage::zh).errorDurationExceeded);
  EXPECT_NE(error.errorDescription(), english);
  EXPECT_EQ(english, stringsFor(AppLanguage::en).errorDurationExceeded);
}

TEST(APIError, TransportFailuresFollowALanguageSwitchAndOtherErrorsDescribeThemselves) {
  const TransportError lost(TransportError::Kind::connectionLost, QStringLiteral("Connection closed"));
  LanguageManager::shared().setCurrent(AppLanguage::en);
  EXPECT_EQ(describeError(lost), stringsFor(AppLanguage::en).errorConnectionLost);
  LanguageManager::shared().setCurrent(AppLanguage::ko);
  EXPECT_EQ(describeError(lost), stringsFor(AppLanguage::ko).errorConnectionLost);
  EXPECT_EQ(describeError(std::runtime_error("disk full")), QStringLiteral("disk full"));
}

}  // namespace
