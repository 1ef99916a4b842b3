#pragma once

#include <QDate>
#include <QString>

// The OpenClaw tool's own log on Linux: one file a day,
// "openclaw-<YYYY-MM-DD>.log" by the local date, in /tmp/openclaw when that
// folder is the user's, else in "openclaw-<uid>" under the temporary folder
// ($TMPDIR, else /tmp), where the tool itself writes it. A gateway that
// refuses to start for want of a mode says so there ("Gateway start blocked:
// existing config is missing gateway.mode"); it writes no
// ~/.openclaw/logs/gateway.err.log on Linux.
//
// The file grows all day, so a refusal counts only when it was written after
// a mark: one from earlier in the day, since corrected, is not this start's.
class OpenClawDailyLog {
 public:
  // Where the day's log ends now.
  static OpenClawDailyLog mark();

  // What the log gained since the mark says a gateway start was refused for
  // want of gateway.mode. False when there is no log.
  bool showsModeUnsetSinceMark() const;

  // The folder the tool writes its log to; empty when neither is usable.
  static QString folder();
  static QString fileName(const QDate& date);

 private:
  OpenClawDailyLog(QString folder, QDate date, qint64 size);

  QString folder_;
  QDate date_;
  qint64 size_ = 0;
};
