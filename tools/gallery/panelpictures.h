#pragma once

#include "localization/applanguage.h"

#include <QString>

// Writes a picture of each floating panel, as the panel draws it, into
// `folder`: the recording indicator while recording, counting down and
// processing, the clarifying question, the tip, and the result panel with
// plain text and with markdown. Returns the number of pictures that could not
// be written (0 when all were).
int writePanelPictures(const QString& folder, AppLanguage language);
