#include "app/singleinstance.h"
#include "app/statusitem.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/linux/desktopsettingslauncher.h"
#include "platform/linux/desktopurlopener.h"
#include "platform/linux/qtaudioengine.h"
#include "platform/linux/qtmicrophoneaccess.h"
#include "platform/linux/sysfsmachineinfo.h"
#include "platform/linux/tmuxterminaldriver.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11keyboardtap.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11synthetickeyboard.h"
#include "platform/x11/x11workspacepresence.h"
#include "core/appinfo.h"
#include "diagnostics/crashreporter.h"
#include "diagnostics/logreporter.h"
#include "core/tracelog.h"
#include "localization/languagemanager.h"
#include "mainwindow/keycaptureview.h"
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

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Veltrine"));
  QApplication::setApplicationVersion(AppInfo::shortVersion());
  QApplication::setDesktopFileName(QStringLiteral("veltrine"));
  // The program's icon for its windows; the onboarding's welcome page shows it too.
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/veltrine.svg")));
  // A tray program: closing its last window must not end it.
  QApplication::setQuitOnLastWindowClosed(false);

  SingleInstance instance;
  if (!instance.claim()) {
    instance.activateRunningCopy();
    return 0;
  }

  // Crash capture first, so that the rest of the start-up is covered, and the
  // previous run's crashes are on record before its trace is emptied.
  CrashReporter::shared().install();
  CrashReporter::shared().processCrashMarkers();

  // The real desktop services; tests install fakes instead.
  X11AccessibilityTrust accessibilityTrust;
  AccessibilityTrust::install(&accessibilityTrust);
  QtMicrophoneAccess microphoneAccess;
  MicrophoneAccess::install(&microphoneAccess);
  DesktopSettingsLauncher settingsLauncher;
  SettingsLauncher::install(&settingsLauncher);
  AudioEngine::installFactory([] { return std::make_unique<QtAudioEngine>(); });
  X11KeyboardTap keyboardTap;
  KeyboardTap::install(&keyboardTap);
  // Recording a new hotkey watches the keyboard on a tap of its own that
  // grabs nothing.
  X11KeyboardTap keyCaptureTap;
  KeyCaptureView::installGlobalTap(&keyCaptureTap);
  X11FrontApplication frontApplication;
  FrontApplication::install(&frontApplication);
  X11SyntheticKeyboard syntheticKeyboard;
  SyntheticKeyboard::install(&syntheticKeyboard);
  X11Pasteboard pasteboard;
  Pasteboard::install(&pasteboard);
  AtspiAccessibility accessibility;
  Accessibility::install(&accessibility);
  accessibility.start();  // follow the focus from now on, so the first capture knows it
  SysfsMachineInfo machineInfo;
  MachineInfo::install(&machineInfo);
  TmuxTerminalDriver terminalDriver;
  TerminalDriver::install(&terminalDriver);
  DesktopUrlOpener urlOpener;
  UrlOpener::install(&urlOpener);
  X11WorkspacePresence workspacePresence;
  WorkspacePresence::install(&workspacePresence);

  // The request flow and the agent bridge reach the floating panels through this.
  PanelOverlayPresenter overlays;
  OverlayPresenter::install(&overlays);

  // Signing in and out reaches the pipeline through the account store.
  AuthStore::shared().setSessionHooks({
      .loadHistory = [] { HistoryStore::shared().load(); },
      .clearHistory = [] { HistoryStore::shared().clearRecords(); },
      .stopHotKeyListener = [] { HotKeyManager::shared().stop(); },
      .loadHotKeyConfigs = [] { HotKeyManager::shared().loadConfigs(); },
      .resetLatestResult = [] { RecordingResultStore::shared().reset(); },
  });

  // Every hotkey press reaches the request flow.
  QObject::connect(&PermissionManager::shared(), &PermissionManager::hotKeyPressed, &AppHotKeyHandler::shared(),
                   &AppHotKeyHandler::handleHotKey);

  // The launch snapshot reports states that live in the pipeline.
  LogReporter::shared().setLaunchStatesSource([] {
    const PermissionManager& permissions = PermissionManager::shared();
    return LaunchStates{permissions.microphoneStatus(), permissions.accessibilityStatus(),
                        HotKeyManager::shared().isListening()};
  });

  clearTrace();
  trace(QStringLiteral("applicationDidFinishLaunching: activationPolicy -> accessory, tracePath=") + traceFilePath());

  // Fonts follow the interface language, so Chinese and Korean text takes that
  // language's own character forms.
  const auto followLanguage = [] { FontBook::shared().setLanguage(rawValue(LanguageManager::shared().current())); };
  followLanguage();
  QObject::connect(&LanguageManager::shared(), &LanguageManager::currentChanged, &app, followLanguage);

  // The local agent's status: a first check now, then every 15 seconds.
  OpenClawManager::shared().start();

  StatusItem statusItem;
  QObject::connect(&statusItem, &StatusItem::quitRequested, &app, &QApplication::quit);
  statusItem.show();

  const int status = QApplication::exec();
  flushTrace();
  return status;
}
