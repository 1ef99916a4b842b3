#pragma once

#include "core/tracelog.h"

#include <QFile>
#include <QStringList>

// The messages of the trace file so far, without their time stamps and tags.
inline QStringList traceLines() {
  flushTrace();
  QFile file(traceFilePath());
  QStringList lines;
  if (!file.open(QIODevice::ReadOnly)) return lines;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const qsizetype tagEnd = line.indexOf("] ");
    if (tagEnd >= 0) lines.append(QString::fromUtf8(line.mid(tagEnd + 2)));
  }
  return lines;
}
