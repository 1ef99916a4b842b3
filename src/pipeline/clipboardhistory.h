#pragma once

#include <QString>
#include <QStringList>

// Recent clipboard texts, sent with a request as optional context, and only
// while the user allows it: the settings switch below is read at every call
// and counts as off until switched on.
inline const QString clipboardAccessEnabledKey = QStringLiteral("settings_clipboard_access_enabled");

// The plain texts of the first `limit` clipboard items, in order. Items
// without text, or with blanks only, are skipped but use up their place; the
// texts are returned untrimmed. Empty while clipboard access is off.
QStringList readClipboardHistory(int limit);
