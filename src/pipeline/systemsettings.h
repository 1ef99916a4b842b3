#pragma once

#include <QString>

// The two settings addresses the permission views open. They name the panes
// as the program always has; openSystemURL maps them onto the desktop's own
// sound and accessibility settings.
inline const QString kMicrophoneSettingsAddress =
    QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_Microphone");
inline const QString kAccessibilitySettingsAddress =
    QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility");

// Opens the desktop's settings for one of the two addresses without waiting;
// explains in a dialog when the desktop has no such program. Any other
// address is ignored. Never reports failure to the caller.
void openSystemURL(const QString& address);
void openMicrophoneSettings();
void openAccessibilitySettings();
