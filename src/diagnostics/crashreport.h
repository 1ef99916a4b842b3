#pragma once

#include "diagnostics/logreportbody.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// One crash as it is kept until the service has accepted it: one JSON file,
// named after its id, in the crash report folder.
struct CrashReport {
  QString id;          // an upper-case UUID, also the file name
  QString timestamp;   // the moment of the crash (or of its discovery), see isoTimestamp()
  QString appVersion;  // of the program that crashed
  QString osVersion;
  // "SIGSEGV", "SIGABRT", "SIGBUS", "SIGILL", "SIGFPE", "SIGTRAP" or "UNKNOWN"
  // for a fatal signal; "NSException" for an uncaught exception (the name the
  // service files these under).
  QString signal;
  QString reason;
  QStringList callStack;  // uncaught exceptions only, at most 40 frames
  std::optional<QString> systemReportPath;
  bool reported = false;  // the only field that changes after creation

  // Compact JSON with the keys in field order; "systemReportPath" only when present.
  QByteArray toJson() const;
  // Nothing unless every key but "systemReportPath" is there with its type.
  static std::optional<CrashReport> fromJson(const QByteArray& json);

  // What the upload sends: the report as the one "fatal" entry of a log report.
  LogReportBody uploadBody() const;
};
