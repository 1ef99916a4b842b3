#pragma once

#include "awaittask.h"
#include "tracelines.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// The test desktop's modifier map, remapped as a user does with xmodmap:
// Alt moved from Mod1 to Mod3 and back. When the object goes, Alt is on Mod1.
class TestKeymap {
 public:
  ~TestKeymap() { remapAlt(QStringLiteral("mod1")); }

  // Moves Alt_L, Alt_R and Meta_L to `modifier` ("mod3", or back to "mod1")
  // and waits until a running hotkey listener has grabbed its hotkeys again.
  bool moveAltTo(const QString& modifier) {
    const auto regrabs = [] { return traceLines().count(QStringLiteral("HotKey: keyboard remapped, grabs renewed")); };
    const qsizetype before = regrabs();
    return remapAlt(modifier) && waitUntil([&] { return regrabs() > before; });
  }

 private:
  static bool remapAlt(const QString& modifier) {
    const QString other = modifier == QStringLiteral("mod1") ? QStringLiteral("mod3") : QStringLiteral("mod1");
    QProcess xmodmap;
    xmodmap.start(QStringLiteral("xmodmap"), {QStringLiteral("-e"), QStringLiteral("clear ") + other, QStringLiteral("-e"),
                                              QStringLiteral("add %1 = Alt_L Alt_R Meta_L").arg(modifier)});
    return xmodmap.waitForFinished(5000) && xmodmap.exitStatus() == QProcess::NormalExit && xmodmap.exitCode() == 0;
  }
};
