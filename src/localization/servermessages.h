#pragma once

#include <QString>

// The service's error codes and the agent's status codes as messages of the
// current interface language. Codes compare exactly and case-sensitively.
// Main thread only (they read currentStrings()).

// The message of a service error code ("CREDITS_EXHAUSTED"); errorUnknown for
// any code it does not know, the empty code included.
QString localizedServerError(const QString& code);

// The message of an agent status code ("OPENCLAW_SESSION_STARTED"); any other
// text (a tip the service already worded) comes back unchanged.
QString localizedOpenClawStatus(const QString& text);
