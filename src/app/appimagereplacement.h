#pragma once

#include <QString>

// Puts a new release in place of the AppImage the program runs from.
namespace AppImageReplacement {

// Copies `release` beside `appImage` (the same folder, so the last step is one
// rename), gives the copy the mode of the file it replaces, and renames it
// over that file: whoever starts the image afterwards gets the old one or the
// new one, never a part. Empty on success; otherwise the reason, and
// `appImage` is left exactly as it was. A link is followed: its target is
// replaced.
QString replace(const QString& appImage, const QString& release);

}  // namespace AppImageReplacement
