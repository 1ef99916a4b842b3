#pragma once

#include "pipeline/selectionsnapshot.h"

#include <QCoroTask>
#include <QObject>

// Puts a request's selection back while the user records, one restore at a
// time. Each answer comes once the application has answered, so the main
// thread never waits for it; and an application is never asked again while
// it has not answered the last request (GTK 4 leaves some unanswered until
// the time-out). A restore asked for meanwhile waits for the one under way:
// when that one puts back the same selection, its answer is shared, else
// this one follows it.
//
// Main thread only.
class SelectionRestorer : public QObject {
  Q_OBJECT

 public:
  explicit SelectionRestorer(QObject* parent = nullptr);

  // See SelectionSnapshot::restore(): true when the selection is in place.
  QCoro::Task<bool> restore(SelectionSnapshot snapshot);
  // Completes once no restore is under way.
  QCoro::Task<void> settled();

 Q_SIGNALS:
  // A restore ended with this answer (handed to those who waited for it on
  // a later turn of the event loop).
  void finished(bool restored);

 private:
  bool restoring_ = false;
  // What the restore under way puts back.
  AXElementRef element_;
  AXTextRange range_;
};
