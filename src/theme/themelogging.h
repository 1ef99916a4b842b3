#pragma once

#include <QLoggingCategory>

// Missing fonts and symbols are reported here ("vorlix.voice-input.Theme").
Q_DECLARE_LOGGING_CATEGORY(lcTheme)
