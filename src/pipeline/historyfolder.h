#pragma once

#include <QString>

#include <optional>

// The history folder of one account: Documents/VoiceInputHistory/<key>/ with
// "recording_history.json" and the "AudioFiles" folder of audio copies. The
// key is derived from the e-mail exactly as stored, so two spellings of an
// address are two folders. Folders are made (mode 0700: they hold what the
// user said) whenever their location is asked for; a failure shows later,
// when a file in them is written.
class HistoryFolder {
 public:
  explicit HistoryFolder(const QString& email);

  // The first 16 of the 64 lower-case hex digits of SHA-256 over the UTF-8
  // e-mail.
  static QString storageKey(const QString& email);

  QString directory() const;
  QString historyFile() const;
  QString audioDirectory() const;

  // True when `path` names an entry of the AudioFiles folder (or of a folder
  // below it) once every symbolic link and ".." on the way there is resolved.
  // A record whose path leads elsewhere must never make us delete a file.
  bool holdsAudioFile(const QString& path) const;

  // Removes an audio copy, but only one that holdsAudioFile(); a symbolic link
  // there is removed itself, never its target. True when the file was removed.
  bool removeAudioFile(const QString& path) const;

  // Copies a recording into AudioFiles under its own file name and returns the
  // copy's path. The copy is made beside the destination and then renamed over
  // it, so an earlier copy of that name survives a failed copy. `error` gets a
  // description of a failure.
  std::optional<QString> copyAudio(const QString& source, QString* error) const;

 private:
  QString directory_;
};
