#pragma once

#include "pipeline/recordinghistory.h"
#include "pipeline/retentionpolicy.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// The local history of the signed-in account's requests, newest first, with
// the audio copies that a retry uploads again and the retention policy the
// user picked. The one owner of the history files; main thread only, every
// operation finishes (files included) before it returns.
//
// The records belong to the account whose e-mail was signed in at the last
// load(): the account store calls load() after a sign-in and clearRecords()
// at sign-out; the launch sequence calls load() when someone is signed in.
//
// Every change of the records, also a change another component made through
// updateRecord(), is announced by recordsChanged(). Just before it, one of
// recordInserted(), recordUpdated(), recordRemoved() or recordsReset() says
// what changed, so that a view showing one element per record touches only
// the element concerned. Storage failures are not shown to the user; each
// prints one "[HistoryStore] " line on standard output.
class HistoryStore : public QObject {
  Q_OBJECT
  Q_PROPERTY(QList<RecordingHistory> records READ records NOTIFY recordsChanged)
  Q_PROPERTY(::RetentionPolicy retentionPolicy READ retentionPolicy WRITE setRetentionPolicy NOTIFY
                 retentionPolicyChanged)

 public:
  using RetentionPolicy = ::RetentionPolicy;

  static HistoryStore& shared();

  const QList<RecordingHistory>& records() const { return records_; }
  // A copy of the first record with this id.
  std::optional<RecordingHistory> record(const QString& id) const;

  RetentionPolicy retentionPolicy() const { return retentionPolicy_; }
  // Stores the raw value under "historyRetentionPolicy" and applies the
  // policy at once, also when it is the one already chosen.
  void setRetentionPolicy(RetentionPolicy policy);

  // Reads the signed-in account's history (nothing signed in: empty). Records
  // cut short by a quit become failed, then the retention policy applies. A
  // file that cannot be read or decoded is renamed aside with a time stamp,
  // never overwritten, and the history starts empty.
  void load();

  // Writes the records to the account's "recording_history.json", replacing
  // the file in one step. Does nothing when nobody is signed in; refuses (and
  // says so) when the records in memory are not the signed-in account's, so
  // one account's history never overwrites another's. Emits recordsReset()
  // and recordsChanged().
  void save();

  // Sign-out: the records are dropped from memory only; the files stay.
  void clearRecords();

  // Puts a record at the front and saves. Under `never` nothing is stored
  // (an audio copy the record names is removed: nothing would point to it).
  void addRecord(const RecordingHistory& record);

  // Copies a finished recording into the account's AudioFiles folder and
  // returns the copy's path. Nothing when nobody is signed in, when the copy
  // failed, or under `never` (no copy is made then). The caller still owns the
  // original and removes it.
  std::optional<QString> persistAudio(const QString& recordingPath);

  // Changes the first record with this id in place and saves; false (and no
  // save) when there is none. This is how other components update a record.
  bool updateRecord(const QString& id, const std::function<void(RecordingHistory&)>& change);

  // A processing attempt starts now: status `processing`, processStartedAt now.
  void markProcessing(const QString& id);

  // Removes the record (and, when asked, its audio copy) and saves.
  void deleteRecord(const QString& id, bool deleteAudioFile);
  // Removes only the audio copy; the record stays without an audioFilePath.
  void deleteAudio(const QString& id);

  // Applies the retention policy now (load() and a policy change call it).
  void cleanupExpiredRecords();
  // Pending or processing records become failed, without a message.
  void recoverInterruptedRecords();

  // The locations of the history (local paths; folders are made on asking).
  static QString userStorageKey(const QString& email);
  static QString historyDirectoryURL(const QString& email);
  // The signed-in account's AudioFiles folder; nothing when nobody is.
  std::optional<QString> audioDirectoryURL() const;

 Q_SIGNALS:
  void recordsChanged();
  // What the coming recordsChanged() is about: the record now at `index` is
  // new, or changed in place; the record that was at `index` is gone; or
  // anything may have changed (load, sign-out, clean-up).
  void recordInserted(int index);
  void recordUpdated(int index);
  void recordRemoved(int index);
  void recordsReset();
  // Emitted on every assignment of the policy, also of the same value.
  void retentionPolicyChanged();

 private:
  HistoryStore();

  int indexOf(const QString& id) const;
  void writeFile() const;
  // Removes the audio copy a record names, when it is this account's.
  void removeAudioOf(const RecordingHistory& record) const;
  enum class Change { reset, inserted, updated, removed };
  // Writes the file and announces the change.
  void commit(Change change, int index = -1);
  void publish(Change change = Change::reset, int index = -1);

  QList<RecordingHistory> records_;
  RetentionPolicy retentionPolicy_ = RetentionPolicy::forever;
  // Whose records these are: the e-mail of the last load(), none after
  // clearRecords() or before any load.
  std::optional<QString> loadedEmail_;
  bool loaded_ = false;
  // The history file could not be read nor moved aside: it is never replaced.
  bool fileProtected_ = false;
  // While load() runs, its saves announce nothing; load() announces once.
  bool deferPublishing_ = false;
};
