#include "mainwindow/recordformat.h"

#include <QFileInfo>

QString RecordFormat::time(const QDateTime& date) { return date.toLocalTime().toString(QStringLiteral("HH:mm:ss")); }

QString RecordFormat::duration(double seconds) { return QString::asprintf("%.1fs", seconds); }

bool RecordFormat::isPresent(const std::optional<QString>& text) { return text && !text->isEmpty(); }

bool RecordFormat::hasAudioFile(const RecordingHistory& record) {
  if (!record.audioFilePath || record.audioFilePath->isEmpty()) return false;
  const QFileInfo file(*record.audioFilePath);
  return file.exists() && file.isFile();
}

bool RecordFormat::isMarkdown(const RecordingHistory& record) {
  return record.actionType == QLatin1String("show_markdown");
}
