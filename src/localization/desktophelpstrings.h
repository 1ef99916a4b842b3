#pragma once

#include "localization/applanguage.h"

#include <QString>

// The texts of the short explanations that stand in, on a Linux desktop, for
// the system prompts other desktops show (trust to read keys and type, the
// sound and accessibility settings), in every interface language.
struct DesktopHelpStrings {
  QString trustTitle;
  QString trustText;  // %1: what the desktop lacks
  QString microphoneSettingsTitle;
  QString microphoneSettingsText;
  QString accessibilitySettingsTitle;
  QString accessibilitySettingsText;
};

const DesktopHelpStrings& desktopHelpStrings(AppLanguage language);
// Those of the current interface language (main thread only).
const DesktopHelpStrings& currentDesktopHelpStrings();
