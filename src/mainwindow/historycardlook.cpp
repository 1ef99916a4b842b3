#include "mainwindow/historycardlook.h"

#include "localization/appstrings.h"
#include "theme/palette.h"

QColor HistoryCardLook::statusColor(RecognitionStatus status) {
  switch (status) {
    case RecognitionStatus::pending:
      return Palette::neonOrange;
    case RecognitionStatus::processing:
      return Palette::neonCyan;
    case RecognitionStatus::success:
      return Palette::neonGreen;
    case RecognitionStatus::failed:
      break;
  }
  return Palette::neonRed;
}

QString HistoryCardLook::statusSymbol(RecognitionStatus status) {
  switch (status) {
    case RecognitionStatus::pending:
      return QStringLiteral("clock");
    case RecognitionStatus::processing:
      return QStringLiteral("waveform");
    case RecognitionStatus::success:
      return QStringLiteral("checkmark.circle.fill");
    case RecognitionStatus::failed:
      break;
  }
  return QStringLiteral("xmark.circle.fill");
}

QString HistoryCardLook::statusText(RecognitionStatus status) {
  const AppStrings& strings = currentStrings();
  switch (status) {
    case RecognitionStatus::pending:
      return strings.statusWait;
    case RecognitionStatus::processing:
      return strings.statusProc;
    case RecognitionStatus::success:
      return strings.statusOk;
    case RecognitionStatus::failed:
      break;
  }
  return strings.statusFail;
}

QString HistoryCardLook::operationSymbol(const QString& operation) {
  if (operation == QLatin1String("transcribe")) return QStringLiteral("mic");
  if (operation == QLatin1String("rewrite")) return QStringLiteral("pencil");
  if (operation == QLatin1String("agent")) return QStringLiteral("sparkles");
  return QStringLiteral("waveform");
}

QString HistoryCardLook::operationLabel(const QString& operation) {
  const AppStrings& strings = currentStrings();
  if (operation == QLatin1String("transcribe")) return strings.opTranscribe;
  if (operation == QLatin1String("rewrite")) return strings.opRewrite;
  if (operation == QLatin1String("agent")) return strings.opAgent;
  return operation;
}
