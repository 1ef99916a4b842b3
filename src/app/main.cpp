#include "app/desktopservices.h"
#include "app/voice_inputapp.h"
#include "core/appinfo.h"
#include "core/tracelog.h"
#include "diagnostics/logreporter.h"
#include "localization/languagemanager.h"
#include "openclaw/openclawmanager.h"
#include "overlays/paneloverlaypresenter.h"
#include "pipeline/apphotkeyhandler.h"
#include "pipeline/historystore.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionmanager.h"
#include "pipeline/recordingresultstore.h"
#include "service/authstore.h"
#include "theme/fontbook.h"

#include <QApplication>
#include <QIcon>
#include <QNetworkProxyFactory>

#include <memory>

namespace {

// Signing in and out reaches the pipeline through the account store.
void wireSessionHooks() {
  AuthStore::shared().setSessionHooks({
      .loadHistory = [] { HistoryStore::shared().load(); },
      .clearHistory = [] { HistoryStore::shared().clearRecords(); },
      .stopHotKeyListener = [] { HotKeyManager::shared().stop(); },
      .loadHotKeyConfigs = [] { HotKeyManager::shared().loadConfigs(); },
      .resetLatestResult = [] { RecordingResultStore::shared().reset(); },
  });
}

// Every hotkey press reaches the request flow.
void wireHotKeyPresses() {
  QObject::connect(&PermissionManager::shared(), &PermissionManager::hotKeyPressed, &AppHotKeyHandler::shared(),
                   &AppHotKeyHandler::handleHotKey);
}

// The launch snapshot reports states that live in the pipeline.
void wireLaunchStates() {
  LogReporter::shared().setLaunchStatesSource([] {
    const PermissionManager& permissions = PermissionManager::shared();
    return LaunchStates{permissions.microphoneStatus(), permissions.accessibilityStatus(),
                        HotKeyManager::shared().isListening()};
  });
}

// Fonts follow the interface language, so Chinese and Korean text takes that
// language's own character forms.
void wireFontLanguage(QObject* context) {
  const auto followLanguage = [] { FontBook::shared().setLanguage(rawValue(LanguageManager::shared().current())); };
  followLanguage();
  QObject::connect(&LanguageManager::shared(), &LanguageManager::currentChanged, context, followLanguage);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Veltrine"));
  QApplication::setApplicationVersion(AppInfo::shortVersion());
  QApplication::setDesktopFileName(QStringLiteral("veltrine"));
  // The program's icon for its windows; the onboarding's welcome page shows it too.
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/veltrine.svg")));
  // A tray program: closing its last window must not end it.
  QApplication::setQuitOnLastWindowClosed(false);
  // Requests go out the way the desktop says for their address: https_proxy,
  // no_proxy, the desktop's proxy settings or its PAC file (see ProxyChoice).
  QNetworkProxyFactory::setUseSystemConfiguration(true);

  voice_inputApp application;
  // The desktop's services start after crash capture is in place, so their
  // start-up is covered; a second copy never starts them.
  DesktopServices desktop;
  std::unique_ptr<PanelOverlayPresenter> overlays;
  application.appDelegate().setServicesInstaller([&desktop, &overlays, &app] {
    desktop.install();
    // The request flow and the agent bridge reach the floating panels through this.
    overlays = std::make_unique<PanelOverlayPresenter>();
    OverlayPresenter::install(overlays.get());
    wireSessionHooks();
    wireHotKeyPresses();
    wireLaunchStates();
    wireFontLanguage(&app);
    // The local agent's status: a first check now, then every 15 seconds.
    OpenClawManager::shared().start();
  });

  const int status = application.run();
  // The panels go before the window: nothing may reach them after this.
  OverlayPresenter::install(nullptr);
  flushTrace();
  return status;
}
