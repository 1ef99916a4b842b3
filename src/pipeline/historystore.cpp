#include "pipeline/historystore.h"

#include "core/clock.h"
#include "core/fileaside.h"
#include "core/privatefile.h"
#include "core/userdefaults.h"
#include "pipeline/historyfolder.h"
#include "service/authstore.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace {

const QString kRetentionPolicyKey = QStringLiteral("historyRetentionPolicy");

// Storage failures go to standard output, one line each, for whoever reads
// the program's output; the user is not bothered with them.
void report(const QString& line) {
  const QByteArray bytes = QStringLiteral("[HistoryStore] %1\n").arg(line).toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
  std::fflush(stdout);
}

std::optional<QString> signedInEmail() { return AuthStore::shared().email(); }

}  // namespace

HistoryStore& HistoryStore::shared() {
  static HistoryStore* instance = new HistoryStore();
  return *instance;
}

HistoryStore::HistoryStore() {
  const auto stored = UserDefaults::shared().text(kRetentionPolicyKey);
  retentionPolicy_ = stored ? retentionPolicyFromRawValue(*stored).value_or(RetentionPolicy::forever)
                            : RetentionPolicy::forever;
}

std::optional<RecordingHistory> HistoryStore::record(const QString& id) const {
  const int index = indexOf(id);
  if (index < 0) return std::nullopt;
  return records_.at(index);
}

void HistoryStore::setRetentionPolicy(RetentionPolicy policy) {
  retentionPolicy_ = policy;
  Q_EMIT retentionPolicyChanged();
  UserDefaults::shared().setText(kRetentionPolicyKey, rawValue(policy));
  cleanupExpiredRecords();
}

void HistoryStore::load() {
  records_.clear();
  loadedEmail_ = signedInEmail();
  loaded_ = true;
  fileProtected_ = false;
  if (loadedEmail_) {
    const QString path = HistoryFolder(*loadedEmail_).historyFile();
    QFile file(path);
    if (file.exists() || QFileInfo(path).isSymLink()) {
      std::optional<QList<RecordingHistory>> decoded;
      if (file.open(QIODevice::ReadOnly)) decoded = RecordingHistory::decodeList(file.readAll());
      file.close();
      if (decoded) {
        records_ = std::move(*decoded);
      } else {
        // The next save would replace the only copy of this history.
        const QString aside = FileAside::moveAside(path);
        fileProtected_ = aside.isEmpty();
        report(aside.isEmpty() ? QStringLiteral("Unreadable history %1 could not be moved aside; it is left as it is")
                                     .arg(path)
                               : QStringLiteral("Unreadable history moved to %1").arg(aside));
      }
    }
  }
  deferPublishing_ = true;
  recoverInterruptedRecords();
  cleanupExpiredRecords();
  deferPublishing_ = false;
  publish();
}

void HistoryStore::save() { commit(Change::reset); }

void HistoryStore::commit(Change change, int index) {
  writeFile();
  publish(change, index);
}

void HistoryStore::writeFile() const {
  const auto email = signedInEmail();
  if (!email) return;  // the records live only in memory
  const QString path = HistoryFolder(*email).historyFile();
  if (!loaded_ || loadedEmail_ != email) {
    report(QStringLiteral("Save failed: the history of the signed-in account is not loaded; %1 is left as it is")
               .arg(path));
    return;
  }
  if (fileProtected_) {
    report(QStringLiteral("Save failed: %1 could not be moved aside and is not overwritten").arg(path));
    return;
  }
  if (QString failure; !PrivateFile::writeAtomically(path, RecordingHistory::encodeList(records_), &failure)) {
    report(QStringLiteral("Save failed: %1: %2").arg(path, failure));
  }
}

void HistoryStore::clearRecords() {
  records_.clear();
  loadedEmail_.reset();
  loaded_ = false;
  publish();
}

void HistoryStore::addRecord(const RecordingHistory& record) {
  if (retentionPolicy_ == RetentionPolicy::never) {
    removeAudioOf(record);
    return;
  }
  records_.prepend(record);
  commit(Change::inserted, 0);
}

std::optional<QString> HistoryStore::persistAudio(const QString& recordingPath) {
  if (retentionPolicy_ == RetentionPolicy::never) return std::nullopt;
  const auto email = signedInEmail();
  if (!email) return std::nullopt;
  QString error;
  auto copy = HistoryFolder(*email).copyAudio(recordingPath, &error);
  if (!copy) report(QStringLiteral("Failed to persist audio: %1").arg(error));
  return copy;
}

bool HistoryStore::updateRecord(const QString& id, const std::function<void(RecordingHistory&)>& change) {
  const int index = indexOf(id);
  if (index < 0) return false;
  change(records_[index]);
  commit(Change::updated, index);
  return true;
}

void HistoryStore::markProcessing(const QString& id) {
  updateRecord(id, [](RecordingHistory& record) {
    record.status = RecognitionStatus::processing;
    record.processStartedAt = Clock::now();
  });
}

void HistoryStore::deleteRecord(const QString& id, bool deleteAudioFile) {
  const int index = indexOf(id);
  if (index < 0) return;
  if (deleteAudioFile) removeAudioOf(records_.at(index));
  records_.removeAt(index);
  commit(Change::removed, index);
}

void HistoryStore::deleteAudio(const QString& id) {
  updateRecord(id, [this](RecordingHistory& record) {
    removeAudioOf(record);
    record.audioFilePath.reset();
  });
}

void HistoryStore::cleanupExpiredRecords() {
  if (retentionPolicy_ == RetentionPolicy::forever) return;
  if (retentionPolicy_ == RetentionPolicy::never) {
    if (records_.isEmpty()) return;
    for (const RecordingHistory& record : std::as_const(records_)) removeAudioOf(record);
    records_.clear();
    save();
    return;
  }
  // A record exactly at the cut-off is still within the period and stays.
  const QDateTime cutoff = Clock::now().addSecs(-maximumAge(retentionPolicy_)->count());
  const auto expired = [&cutoff](const RecordingHistory& record) { return record.createdAt < cutoff; };
  if (std::none_of(records_.cbegin(), records_.cend(), expired)) return;
  for (const RecordingHistory& record : std::as_const(records_)) {
    if (expired(record)) removeAudioOf(record);
  }
  records_.removeIf(expired);
  save();
}

void HistoryStore::recoverInterruptedRecords() {
  bool changed = false;
  for (RecordingHistory& record : records_) {
    if (record.status == RecognitionStatus::pending || record.status == RecognitionStatus::processing) {
      record.status = RecognitionStatus::failed;
      record.errorMessage.reset();
      changed = true;
    }
  }
  if (changed) save();
}

QString HistoryStore::userStorageKey(const QString& email) { return HistoryFolder::storageKey(email); }

QString HistoryStore::historyDirectoryURL(const QString& email) { return HistoryFolder(email).directory(); }

std::optional<QString> HistoryStore::audioDirectoryURL() const {
  const auto email = signedInEmail();
  if (!email) return std::nullopt;
  return HistoryFolder(*email).audioDirectory();
}

int HistoryStore::indexOf(const QString& id) const {
  for (int index = 0; index < records_.size(); ++index) {
    if (records_.at(index).id == id) return index;
  }
  return -1;
}

void HistoryStore::removeAudioOf(const RecordingHistory& record) const {
  // The records are the loaded account's, and so are the only files they may
  // make us delete.
  if (!record.audioFilePath || !loadedEmail_) return;
  HistoryFolder(*loadedEmail_).removeAudioFile(*record.audioFilePath);
}

void HistoryStore::publish(Change change, int index) {
  if (deferPublishing_) return;
  switch (change) {
    case Change::reset:
      Q_EMIT recordsReset();
      break;
    case Change::inserted:
      Q_EMIT recordInserted(index);
      break;
    case Change::updated:
      Q_EMIT recordUpdated(index);
      break;
    case Change::removed:
      Q_EMIT recordRemoved(index);
      break;
  }
  Q_EMIT recordsChanged();
}
