#include "localization/desktophelpstrings.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

QStringList textsOf(const DesktopHelpStrings& strings) {
  return {strings.trustTitle,
          strings.trustText,
          strings.microphoneSettingsTitle,
          strings.microphoneSettingsText,
          strings.accessibilitySettingsTitle,
          strings.accessibilitySettingsText};
}

TEST(DesktopHelpStrings, EveryLanguageHasItsOwnCompleteTexts) {
  const QStringList english = textsOf(desktopHelpStrings(AppLanguage::en));
  for (AppLanguage language : allAppLanguages()) {
    SCOPED_TRACE(rawValue(language).toStdString());
    const QStringList texts = textsOf(desktopHelpStrings(language));
    for (int i = 0; i < texts.size(); ++i) {
      EXPECT_FALSE(texts.at(i).trimmed().isEmpty()) << i;
      EXPECT_EQ(texts.at(i).count(QStringLiteral("\n\n")), english.at(i).count(QStringLiteral("\n\n"))) << i;
      if (language != AppLanguage::en) {
        EXPECT_NE(texts.at(i), english.at(i)) << i;
      }
    }
    // The one place for what the desktop lacks.
    EXPECT_EQ(texts.at(1).count(QStringLiteral("%1")), 1);
  }
  // Cantonese is spoken Cantonese, not the Taiwan table again.
  const QStringList taiwan = textsOf(desktopHelpStrings(AppLanguage::zhHant));
  const QStringList cantonese = textsOf(desktopHelpStrings(AppLanguage::yue));
  EXPECT_NE(taiwan.at(1), cantonese.at(1));
  EXPECT_NE(taiwan.at(3), cantonese.at(3));
}

}  // namespace
