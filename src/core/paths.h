#pragma once

#include <QString>

// Where the program keeps its files. Every folder is named after the
// program's identifier so that nothing of ours mixes with other programs.
namespace Paths {

// The program's identifier, the folder name under every base directory.
inline constexpr auto kIdentifier = "vorlix.voice-input";

// A private per-user folder for short-lived files (recordings in progress,
// the trace log, crash markers): $XDG_RUNTIME_DIR/vorlix.voice-input, else
// ~/.cache/vorlix.voice-input/tmp. Created with mode 0700 on demand. A folder
// that is a symbolic link, belongs to someone else or cannot be made private is
// never used; the next candidate is tried. Empty when none can be used.
QString temporaryDirectory();

// $XDG_CONFIG_HOME/vorlix.voice-input: the settings store and local overrides.
QString configDirectory();

// $XDG_DATA_HOME/vorlix.voice-input: long-lived files of our own (crash reports).
QString applicationSupportDirectory();

// The user's documents folder (the history lives below it).
QString documentsDirectory();

// Makes `path` (and its parents) exist; the last component gets `mode`.
bool ensureDirectory(const QString& path, int mode = 0700);

}  // namespace Paths
