#pragma once

#include "pipeline/historystore.h"
#include "pipeline/recordinghistory.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

// Records for the history pages, made the way the request flow makes them.
inline RecordingHistory makeRecord(RecognitionStatus status, const QString& operation = QStringLiteral("transcribe")) {
  RecordingHistory record;
  record.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
  record.createdAt = QDateTime::currentDateTimeUtc();
  record.operation = operation;
  record.status = status;
  return record;
}

// A saved recording at `path` (a few bytes are enough for the pages).
inline QString makeAudioFile(const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write("RIFF....WAVE");
  return path;
}
