#pragma once

#include "awaittask.h"

#include <QDir>
#include <QImage>
#include <QScreen>
#include <QWidget>
#include <QWindow>

// What the display shows of `window`, once it has been drawn. With
// VELTRINE_SCREENSHOT_DIR set the picture is also kept there as <name>.png,
// for a person to look at.
inline QImage onScreen(QWidget& window, const QString& name) {
  window.show();
  waitUntil([&] { return window.isVisible() && window.windowHandle() && window.windowHandle()->isExposed(); });
  // Let layouts settle and every widget paint once.
  waitUntil([] { return false; }, std::chrono::milliseconds(300));
  const QImage shot = window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_ARGB32);
  const QString folder = qEnvironmentVariable("VELTRINE_SCREENSHOT_DIR");
  if (!folder.isEmpty()) {
    QDir().mkpath(folder);
    shot.save(QDir(folder).filePath(name + QStringLiteral(".png")));
  }
  return shot;
}

// A widget as it paints itself (glows of effects included), kept like
// onScreen() keeps its pictures.
inline QImage grabbed(QWidget& widget, const QString& name) {
  const QImage shot = widget.grab().toImage();
  const QString folder = qEnvironmentVariable("VELTRINE_SCREENSHOT_DIR");
  if (!folder.isEmpty()) {
    QDir().mkpath(folder);
    shot.save(QDir(folder).filePath(name + QStringLiteral(".png")));
  }
  return shot;
}
