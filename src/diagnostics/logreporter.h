#pragma once

#include "diagnostics/launchstates.h"
#include "diagnostics/logreportbody.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QString>

// A small in-memory batch of diagnostic entries, sent to the service's log
// endpoint in one request. Its one producer is the launch sequence, which
// records a status snapshot and flushes at every start.
//
// Sending is best effort: a failed send keeps the entries for the next flush;
// nothing is shown or logged, nothing is written to disk. The buffer holds at
// most 200 entries: appending drops the oldest, while putting a failed batch
// back in front of newer entries drops the newest (the batch is older and has
// already waited its turn). Main thread only.
class LogReporter : public QObject {
  Q_OBJECT

 public:
  using Entry = LogReportEntry;
  using ReportBody = LogReportBody;

  static constexpr qsizetype maxBuffer = 200;

  static LogReporter& shared();

  // Where the snapshot reads the permissions and the hotkey listener. Without
  // a source they read as their initial states (not determined, not listening).
  void setLaunchStatesSource(LaunchStatesSource source);

  // Appends an "info" entry tagged "Snapshot" with the message
  // "[<name>] 状态快照" and the states of the permissions, the hotkey listener,
  // the OpenClaw agent and the versions in its extra.
  void logSnapshot(const QString& name);

  // Sends the whole buffer in one request when someone is signed in, and
  // returns when the request has finished or been given up. Never throws.
  QCoro::Task<void> flush();

  // Oldest first.
  const QList<Entry>& buffer() const { return buffer_; }

 private:
  LogReporter() = default;
  QMap<QString, QString> snapshotExtra() const;

  QList<Entry> buffer_;
  LaunchStatesSource launchStates_;
};
