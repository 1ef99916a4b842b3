#include "mainwindow/recordretry.h"

#include "pipeline/apphotkeyhandler.h"

void retryRecord(const RecordingHistory& record) {
  AppHotKeyHandler& flow = AppHotKeyHandler::shared();
  QMetaObject::invokeMethod(
      &flow,
      [&flow, record] { flow.processRecord(record.id, record.operation, record.audioFilePath, record.selectedText); },
      Qt::QueuedConnection);
}
