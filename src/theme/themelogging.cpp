#include "theme/themelogging.h"

Q_LOGGING_CATEGORY(lcTheme, "vorlix.voice-input.Theme")
