#include "openclaw/openclawinstallation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace OpenClawInstallation {

namespace {

QString inHome(const QString& relative) { return QDir::homePath() + QLatin1Char('/') + relative; }

}  // namespace

QString homeFolder() { return inHome(QStringLiteral(".openclaw")); }

QString configFilePath() { return inHome(QStringLiteral(".openclaw/openclaw.json")); }

QString gatewayErrorLogPath() { return inHome(QStringLiteral(".openclaw/logs/gateway.err.log")); }

bool homeExists() {
  // A dangling symbolic link is something too.
  const QFileInfo info(homeFolder());
  return info.exists() || info.isSymLink();
}

QStringList candidateBinaryPaths() {
  QStringList paths{
      QStringLiteral("/opt/homebrew/bin/openclaw"),
      QStringLiteral("/usr/local/bin/openclaw"),
      inHome(QStringLiteral(".local/bin/openclaw")),
      inHome(QStringLiteral(".volta/bin/openclaw")),
      inHome(QStringLiteral(".npm-global/bin/openclaw")),
  };
  const QDir nodeVersions(inHome(QStringLiteral(".nvm/versions/node")));
  const QStringList versions = nodeVersions.entryList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
  for (const QString& version : versions) paths.append(nodeVersions.filePath(version) + QStringLiteral("/bin/openclaw"));
  return paths;
}

std::optional<QString> executableCandidate() {
  for (const QString& path : candidateBinaryPaths()) {
    const QFileInfo info(path);
    if (info.isFile() && info.isExecutable()) return path;
  }
  return std::nullopt;
}

bool gatewayLogShowsModeUnset() {
  QFile log(gatewayErrorLogPath());
  if (!log.open(QIODevice::ReadOnly)) return false;
  return QString::fromUtf8(log.readAll()).contains(QStringLiteral("gateway.mode=local (current: unset)"));
}

}  // namespace OpenClawInstallation
