#pragma once

#include "pipeline/selectionsnapshot.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class ActionDispatcher;
class AudioRecorder;
class HistoryStore;
class SelectionRestorer;
struct AudioProcessResponse;
struct ProcessingFailure;

// Sends a finished recording to the service, writes the outcome into its
// history record and the latest result, and carries out the answer. The live
// request (the one the recording indicator shows) also ends here: the
// indicator goes away and the recorder returns to idle. A retry from the
// history runs the same steps but leaves the live request alone: a recording
// the user started meanwhile keeps running.
//
// Every attempt is numbered. An answer the user cancelled, or one overtaken
// by a newer attempt for the same record, is dropped when it arrives.
// Main thread only; nothing here throws.
class RecordProcessor : public QObject {
  Q_OBJECT

 public:
  // One attempt. `uploadPath` is the file sent when it differs from the
  // record's audio copy (a recording whose copy could not be kept).
  struct Request {
    QString id;
    QString operation;
    std::optional<QString> audioFilePath;
    std::optional<QString> selectedText;
    std::optional<SelectionSnapshot> snapshot;
    std::optional<QStringList> clipboardHistory;
    std::optional<qint32> targetPid;
    std::optional<QString> uploadPath;
  };

  // An answer is carried out only once `restorer` has put the request's
  // selection back: a paste must replace the selection, not land beside it.
  RecordProcessor(AudioRecorder& recorder, HistoryStore& history, ActionDispatcher& dispatcher,
                  SelectionRestorer& restorer, QObject* parent = nullptr);

  QCoro::Task<void> process(Request request);

  // The record the live request waits for; set by the stop of a recording.
  std::optional<QString> processingRecordId() const { return processingRecordId_; }
  void setProcessingRecordId(const std::optional<QString>& id) { processingRecordId_ = id; }

  // The user closed the indicator while the live request was processed: its
  // record fails as cancelled (and stays retryable) and its answer will be
  // dropped. The request itself is not interrupted.
  void cancelLiveRequest();

  // Records whose answer the user no longer wants.
  const QSet<QString>& cancelledRecordIds() const { return cancelledRecordIds_; }

 private:
  quint64 beginAttempt(const QString& id);
  // True (and the attempt forgotten) when its answer must be dropped.
  bool dropsAnswer(const QString& id, quint64 attempt);
  QCoro::Task<void> succeed(const Request& request, const AudioProcessResponse& response);
  QCoro::Task<void> fail(const Request& request, const ProcessingFailure& failure);
  void failWithoutAudio(const Request& request);
  // The last step of every answer: the live request's indicator and recorder.
  void endRequest(const QString& id);

  AudioRecorder& recorder_;
  HistoryStore& history_;
  ActionDispatcher& dispatcher_;
  SelectionRestorer& restorer_;
  std::optional<QString> processingRecordId_;
  QSet<QString> cancelledRecordIds_;
  QHash<QString, quint64> latestAttempt_;
  quint64 attempts_ = 0;
};
