#pragma once

#include <QString>

// Keeping a damaged file instead of overwriting it: the user (or a later
// version of the program) may still recover what it holds.
namespace FileAside {

// Renames `path` to "<path>.corrupt-<UTC time stamp>" (with "-<n>" added when
// that name is taken) and returns the new path; empty when the rename failed.
QString moveAside(const QString& path);

}  // namespace FileAside
