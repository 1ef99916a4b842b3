#pragma once

#include <QList>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStringList>

// What the desktop's own tools (xprop, xwininfo, xdotool) say, read as the
// tests of the program's windows need it.

// What `program` prints, trimmed.
inline QString output(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(5000);
  return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The numbers of a property of `window` (of the root window when empty).
inline QList<int> propertyNumbers(const QString& window, const QString& name) {
  const QStringList where = window.isEmpty() ? QStringList{"-root"} : QStringList{"-id", window};
  QList<int> numbers;
  const QString value = output("xprop", where + QStringList{name}).section(u'=', 1);
  for (const QRegularExpressionMatch& match : QRegularExpression("-?\\d+").globalMatch(value)) {
    numbers.append(match.captured().toInt());
  }
  return numbers;
}

// A window with the window manager's frame, in the X server's pixels.
inline QRect serverFrame(const QString& window) {
  const QString info = output("xwininfo", {"-id", window});
  const auto value = [&](const char* label) {
    return QRegularExpression(QLatin1String(label) + ":\\s*(-?\\d+)").match(info).captured(1).toInt();
  };
  const QRect client(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"));
  const QList<int> frame = propertyNumbers(window, "_NET_FRAME_EXTENTS");
  return frame.size() == 4 ? client.adjusted(-frame[0], -frame[2], frame[1], frame[3]) : client;
}
