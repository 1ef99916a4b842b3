#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

// The test's private home as an OpenClaw installation sees it: the
// configuration folder, the tool, and a login shell whose PATH reaches fake
// programs. The fake `openclaw` and `systemctl` write each call's arguments as
// one line to ~/calls.log.
namespace OpenClawHome {

inline QString path(const QString& relative) { return QDir::homePath() + QLatin1Char('/') + relative; }

inline void write(const QString& relative, const QByteArray& content, bool executable = false) {
  QFile out(path(relative));
  QDir().mkpath(QFileInfo(out).absolutePath());
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(out.fileName()));
  out.write(content);
  out.close();
  if (executable) out.setPermissions(out.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

inline void makeConfigFolder() { QDir().mkpath(path(QStringLiteral(".openclaw"))); }

inline void writeConfig(const QByteArray& json) { write(QStringLiteral(".openclaw/openclaw.json"), json); }

// A fake tool at `relative` that logs "openclaw <arguments>".
inline void installTool(const QString& relative = QStringLiteral(".local/bin/openclaw")) {
  write(relative, "#!/bin/sh\necho \"openclaw $*\" >> \"$HOME/calls.log\"\n", true);
}

// The login shell (/bin/sh) finds programs in ~/fakebin first, and ~/fakebin
// holds a `systemctl` that lists the gateway's user service when ~/service-installed exists.
inline void useLoginShellWithFakeBin() {
  qputenv("SHELL", "/bin/sh");
  write(QStringLiteral(".profile"), "PATH=\"$HOME/fakebin:$PATH\"\nexport PATH\n");
  write(QStringLiteral("fakebin/systemctl"),
        "#!/bin/sh\necho \"systemctl $*\" >> \"$HOME/calls.log\"\n"
        "[ -e \"$HOME/service-installed\" ] && echo 'openclaw-gateway.service enabled enabled'\nexit 0\n",
        true);
}

inline QStringList calls() {
  QFile log(path(QStringLiteral("calls.log")));
  if (!log.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace OpenClawHome
