#include "pipeline/recordingresultstore.h"

RecordingResultStore& RecordingResultStore::shared() {
  static RecordingResultStore* store = new RecordingResultStore;
  return *store;
}

void RecordingResultStore::update(const QString& transcript, const QString& result,
                                  const std::optional<QString>& errorMessage) {
  transcript_ = transcript;
  Q_EMIT transcriptChanged();
  result_ = result;
  Q_EMIT resultChanged();
  errorMessage_ = errorMessage;
  Q_EMIT errorMessageChanged();
}

void RecordingResultStore::reset() { update(QString(), QString(), std::nullopt); }
