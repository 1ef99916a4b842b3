#pragma once

#include "awaittask.h"
#include "tracelines.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// The test desktop's modifier map, remapped as a user does with xmodmap:
// Alt moved from Mod1 to Mod3 and back. When the object goes, Alt is back on
// Mod1 whatever the test left behind.
class TestKeymap {
 public:
  TestKeymap() = default;
  ~TestKeymap() {
    if (altMoved_) remapAlt(QStringLiteral("mod1"));
  }
  TestKeymap(const TestKeymap&) = delete;
  TestKeymap& operator=(const TestKeymap&) = delete;

  // Moves Alt_L, Alt_R and Meta_L to `modifier` ("mod3", or back to "mod1")
  // and waits until a running hotkey listener has grabbed its hotkeys again.
  bool moveAltTo(const QString& modifier) {
    const qsizetype regrabs = regrabCount();
    altMoved_ = modifier != QStringLiteral("mod1");
    return remapAlt(modifier) && waitUntil([&] { return regrabCount() > regrabs; });
  }

 private:
  static bool remapAlt(const QString& modifier) {
    const QString other = modifier == QStringLiteral("mod1") ? QStringLiteral("mod3") : QStringLiteral("mod1");
    QProcess xmodmap;
    xmodmap.start(QStringLiteral("xmodmap"), {QStringLiteral("-e"), QStringLiteral("clear ") + other, QStringLiteral("-e"),
                                              QStringLiteral("add %1 = Alt_L Alt_R Meta_L").arg(modifier)});
    return xmodmap.waitForFinished(5000) && xmodmap.exitStatus() == QProcess::NormalExit && xmodmap.exitCode() == 0;
  }

  static qsizetype regrabCount() { return traceLines().count(QStringLiteral("HotKey: keyboard remapped, grabs renewed")); }

  bool altMoved_ = false;
};
