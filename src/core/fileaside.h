#pragma once

#include <QString>

// Keeping a damaged file instead of overwriting it: the user (or a later
// version of the program) may still recover what it holds. The kept file is
// the user's alone, as the file it came from should have been.
namespace FileAside {

// Renames `path` to "<path>.corrupt-<UTC time stamp>" (with "-<n>" added when
// that name is taken) and returns the new path; empty when the rename failed.
QString moveAside(const QString& path);

// Copies `path` under such a name and leaves it in place; the new path, or
// empty when the copy failed.
QString copyAside(const QString& path);

}  // namespace FileAside
