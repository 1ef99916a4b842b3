#include "openclaw/openclawcommands.h"

#ifndef VELTRINE_OPENCLAW_INSTALLER_ORIGIN
#define VELTRINE_OPENCLAW_INSTALLER_ORIGIN "https://openclaw.ai"
#endif

namespace OpenClawCommands {

QString install() {
  return QStringLiteral("curl -fsSL --proto '=https' --tlsv1.2 ") + QStringLiteral(VELTRINE_OPENCLAW_INSTALLER_ORIGIN) +
         QStringLiteral("/install.sh | bash");
}

QString uninstall() {
  return QStringLiteral(
      "openclaw uninstall --all --yes --non-interactive; npm rm -g openclaw 2>/dev/null || true; "
      "echo '--- OpenClaw 已完全卸载 ---'");
}

QString gatewayStart() { return QStringLiteral("openclaw gateway start"); }
QString gatewayInstall() { return QStringLiteral("openclaw gateway install"); }
QString gatewayRun() { return QStringLiteral("openclaw gateway run"); }
QString gatewayStop() { return QStringLiteral("openclaw gateway stop"); }
QString setLocalMode() { return QStringLiteral("openclaw config set gateway.mode local"); }
QString setTokenAuthMode() { return QStringLiteral("openclaw config set gateway.auth.mode token"); }
QString setAuthToken(const QString& token) {
  return QStringLiteral("openclaw config set gateway.auth.token '\"%1\"'").arg(token);
}
QString enableChatCompletions() {
  return QStringLiteral("openclaw config set gateway.http.endpoints.chatCompletions.enabled true");
}

QString serviceCheck() {
  // The gateway installs itself as a systemd user service.
  return QStringLiteral("systemctl --user list-unit-files 2>/dev/null | grep -i openclaw");
}

const QStringList& interactiveSubcommands() {
  static const QStringList list{
      QStringLiteral("models auth add"), QStringLiteral("models auth setup-token"),
      QStringLiteral("models auth paste-token"), QStringLiteral("onboard"),
      QStringLiteral("configure"), QStringLiteral("setup"),
      QStringLiteral("models set "), QStringLiteral("models set-image "),
      QStringLiteral("models scan"), QStringLiteral("config set "),
      QStringLiteral("config unset "), QStringLiteral("channels login"),
      QStringLiteral("channels add"),
  };
  return list;
}

bool isInteractive(const QString& command) {
  const QString lower = command.toLower();
  for (const QString& subcommand : interactiveSubcommands()) {
    if (lower.contains(subcommand)) return true;
  }
  return false;
}

}  // namespace OpenClawCommands
