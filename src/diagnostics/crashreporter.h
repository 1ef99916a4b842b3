#pragma once

#include "diagnostics/crashreport.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QString>

class CrashReportStore;

// Notices that the program died and keeps a record of it until the service
// has accepted it. Two capture paths feed one store:
//  - a fatal signal leaves a marker file (CrashSignalHandler), which the next
//    launch turns into a report;
//  - an uncaught exception is saved as a complete report at once, with its call
//    stack (UncaughtExceptionHandler).
// Either way one crash gives one report. Reports are uploaded at launch and
// from the status menu; only the 10 newest are kept.
//
// Markers live in the private temporary folder, reports under the
// application's data folder. Every file-system failure is swallowed.
// Main thread only, but for the two handlers.
class CrashReporter : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMaxCallStackFrames = 40;

  static CrashReporter& shared();

  // "…/voice_input_crash_markers" in the private temporary folder and
  // "…/CrashReports" in the application's data folder, made when asked for.
  // Empty when there is no usable place.
  static QString markersDirectory();
  static QString reportsDirectory();

  // Once, at launch: installs both handlers.
  void install();

  // Once, at launch, right after install: turns the markers an earlier run
  // left behind into reports and deletes them (a marker whose report cannot
  // be written stays for the next launch). Unreadable markers are deleted
  // without a report; other files in the folder are left alone.
  void processCrashMarkers();

  // The stored reports the service has not accepted yet, newest first.
  QList<CrashReport> pendingReports() const;
  void markReported(const QString& id);

  // Sends every pending report, one request after the other, and marks each
  // one the service accepts (2xx). Returns how many it accepted; 0 when
  // nothing is pending or nobody is signed in. Never throws.
  //
  // One upload at a time: a call while one runs (the launch upload and the
  // menu's) sends nothing itself; it waits for the running one and returns its
  // count, so no report goes out twice at once.
  QCoro::Task<int> uploadPendingReports();

  // The uncaught-exception path, on the throwing thread: saves a report with
  // the signal "NSException", the reason "<name>: <reason>" and the first 40
  // frames, after which a fatal signal leaves no second record of the crash.
  static void handleException(const QString& name, const QString& reason, const QStringList& callStack);

  // Internal steps, public for the tests.
  void save(const CrashReport& report);
  QList<CrashReport> loadAll() const;
  void prune();

 Q_SIGNALS:
  // An upload run ended, with the number of reports it got accepted.
  void uploadFinished(int accepted);
  // A report was saved, accepted by the service or dropped: the pending ones changed.
  void pendingReportsChanged();

 private:
  CrashReporter() = default;
  static CrashReportStore store();
  static CrashReport newReport(const QString& signal, const QString& reason, const QString& timestamp);
  QCoro::Task<int> uploadAll(QList<CrashReport> pending, QString token);

  bool uploading_ = false;
};
