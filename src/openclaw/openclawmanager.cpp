#include "openclaw/openclawmanager.h"

namespace {

QString statusWord(OpenClawStatus status) {
  switch (status) {
    case OpenClawStatus::notInstalled: return QStringLiteral("not_installed");
    case OpenClawStatus::installedServiceDown: return QStringLiteral("service_down");
    case OpenClawStatus::ready: return QStringLiteral("installed");
    case OpenClawStatus::unknown: break;
  }
  return QStringLiteral("unknown");
}

}  // namespace

OpenClawManager& OpenClawManager::shared() {
  static OpenClawManager* instance = new OpenClawManager();
  return *instance;
}

QMap<QString, QString> OpenClawManager::diagnostics() const {
  return {
      {QStringLiteral("configExists"), QStringLiteral("false")},
      {QStringLiteral("binaryFound"), QStringLiteral("false")},
      {QStringLiteral("binaryPath"), QStringLiteral("not_found")},
      {QStringLiteral("credentialMode"), QStringLiteral("missing")},
      {QStringLiteral("credentialExists"), QStringLiteral("false")},
      // The gateway listens on the loopback address only.
      {QStringLiteral("gatewayURL"), QStringLiteral("http://127.0.0.1:18789")},
      {QStringLiteral("status"), statusWord(status_)},
  };
}
