#pragma once

#include "localization/appstrings.h"

#include <QString>

// Shows the main window on the desktop with sample records, hotwords,
// personas and every state of the agent's card (a private home, the stand-in
// service in process and a fake agent tool, so nothing of the user's own is
// read or changed), and saves what the display shows of each page, sheet and
// popover as PNG files in `folder`. Answers the exit status.
int writeMainWindowPictures(const QString& folder, AppLanguage language);
