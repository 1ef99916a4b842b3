#pragma once

#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QString>
#include <QWidget>

// A window's place and size on the screen as the X server holds them
// (xwininfo), in the server's (device) pixels; what a window manager changed
// shows here, not in Qt's own geometry.
inline QRect serverGeometry(const QWidget* window) {
  QProcess process;
  process.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window->winId())});
  process.waitForFinished(5000);
  const QString info = QString::fromUtf8(process.readAllStandardOutput());
  const auto number = [&](const QString& label) {
    return QRegularExpression(label + QStringLiteral(":\\s*(-?\\d+)")).match(info).captured(1).toInt();
  };
  return QRect(number(QStringLiteral("Absolute upper-left X")), number(QStringLiteral("Absolute upper-left Y")),
               number(QStringLiteral("Width")), number(QStringLiteral("Height")));
}
