#pragma once

#include <QHash>
#include <QProcess>
#include <QRect>
#include <QStringList>

// Where the X window `id` lies on the screen, the active window's when `id`
// is 0, as xdotool says (a frame the window manager drew around it not
// counted); empty when it cannot tell.
inline QRect windowGeometry(unsigned long id = 0) {
  QStringList arguments{QStringLiteral("getwindowgeometry"), QStringLiteral("--shell")};
  if (id) {
    arguments << QString::number(id);
  } else {
    arguments.prepend(QStringLiteral("getactivewindow"));
  }
  QProcess xdotool;
  xdotool.start(QStringLiteral("xdotool"), arguments);
  if (!xdotool.waitForFinished(5000)) return {};
  QHash<QString, int> values;
  for (const QString& line : QString::fromUtf8(xdotool.readAllStandardOutput()).split(u'\n')) {
    values.insert(line.section(u'=', 0, 0), line.section(u'=', 1).toInt());
  }
  const auto value = [&](const char* name) { return values.value(QLatin1String(name)); };
  return QRect(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"));
}
