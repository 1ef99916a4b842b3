#include "app/desktopservices.h"

#include "mainwindow/keycaptureview.h"
#include "platform/combinedidlesleepinhibitor.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/linux/desktopsettingslauncher.h"
#include "platform/linux/desktopstatusicon.h"
#include "platform/linux/desktopurlopener.h"
#include "platform/linux/fcitx5inputmethod.h"
#include "platform/linux/logindidlesleepinhibitor.h"
#include "platform/linux/pulsesoundserverwatcher.h"
#include "platform/linux/qtaudioengine.h"
#include "platform/linux/qtmicrophoneaccess.h"
#include "platform/linux/sessionidlesleepinhibitor.h"
#include "platform/linux/sysfsmachineinfo.h"
#include "platform/linux/tmuxterminaldriver.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "platform/x11/x11compositorpresence.h"
#include "platform/x11/x11displayloss.h"
#include "platform/x11/x11primaryhighlightwatch.h"
#include "platform/x11/x11panelkeyboard.h"
#include "platform/x11/x11panelwindowrole.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11keyboardtap.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11pointerbuttons.h"
#include "platform/x11/x11synthetickeyboard.h"
#include "platform/x11/x11trayappearance.h"
#include "platform/x11/x11windowactivator.h"
#include "platform/x11/x11workarea.h"

DesktopServices::DesktopServices() = default;

DesktopServices::~DesktopServices() {
  // Nothing may reach an implementation that is going away.
  if (!accessibilityTrust_) return;
  AccessibilityTrust::install(nullptr);
  MicrophoneAccess::install(nullptr);
  SettingsLauncher::install(nullptr);
  AudioEngine::installFactory({});
  SoundServerWatcher::install(nullptr);
  KeyboardTap::install(nullptr);
  KeyCaptureView::installGlobalTap(nullptr);
  FrontApplication::install(nullptr);
  SyntheticKeyboard::install(nullptr);
  Pasteboard::install(nullptr);
  Pasteboard::installPrimarySelection(nullptr);
  Accessibility::install(nullptr);
  MachineInfo::install(nullptr);
  TerminalDriver::install(nullptr);
  WindowActivator::install(nullptr);
  UrlOpener::install(nullptr);
  PanelWindowRole::install(nullptr);
  PanelKeyboard::install(nullptr);
  IdleSleepInhibitor::install(nullptr);
  CompositorPresence::install(nullptr);
  PrimaryHighlightWatch::install(nullptr);
  InputMethod::install(nullptr);
  StatusIcon::installFactory({});
  TrayAppearance::install(nullptr);
  WorkArea::install(nullptr);
  PointerButtons::install(nullptr);
}

void DesktopServices::install() {
  if (accessibilityTrust_) return;
  X11DisplayLoss::install();
  accessibilityTrust_ = std::make_unique<X11AccessibilityTrust>();
  AccessibilityTrust::install(accessibilityTrust_.get());
  microphoneAccess_ = std::make_unique<QtMicrophoneAccess>();
  MicrophoneAccess::install(microphoneAccess_.get());
  settingsLauncher_ = std::make_unique<DesktopSettingsLauncher>();
  SettingsLauncher::install(settingsLauncher_.get());
  // The engines follow the sound server's default microphone through it.
  soundServer_ = std::make_unique<PulseSoundServerWatcher>();
  SoundServerWatcher::install(soundServer_.get());
  AudioEngine::installFactory([] { return std::make_unique<QtAudioEngine>(); });
  keyboardTap_ = std::make_unique<X11KeyboardTap>();
  KeyboardTap::install(keyboardTap_.get());
  // Recording a new hotkey watches the keyboard on a tap of its own that
  // grabs nothing.
  keyCaptureTap_ = std::make_unique<X11KeyboardTap>();
  KeyCaptureView::installGlobalTap(keyCaptureTap_.get());
  frontApplication_ = std::make_unique<X11FrontApplication>();
  FrontApplication::install(frontApplication_.get());
  syntheticKeyboard_ = std::make_unique<X11SyntheticKeyboard>();
  SyntheticKeyboard::install(syntheticKeyboard_.get());
  pasteboard_ = std::make_unique<X11Pasteboard>();
  Pasteboard::install(pasteboard_.get());
  primarySelection_ = std::make_unique<X11Pasteboard>(X11Pasteboard::Selection::primary);
  Pasteboard::installPrimarySelection(primarySelection_.get());
  accessibility_ = std::make_unique<AtspiAccessibility>();
  Accessibility::install(accessibility_.get());
  accessibility_->start();  // follow the focus from now on, so the first capture knows it
  machineInfo_ = std::make_unique<SysfsMachineInfo>();
  MachineInfo::install(machineInfo_.get());
  windowActivator_ = std::make_unique<X11WindowActivator>();
  WindowActivator::install(windowActivator_.get());
  terminalDriver_ = std::make_unique<TmuxTerminalDriver>();
  TerminalDriver::install(terminalDriver_.get());
  urlOpener_ = std::make_unique<DesktopUrlOpener>();
  UrlOpener::install(urlOpener_.get());
  panelWindowRole_ = std::make_unique<X11PanelWindowRole>();
  PanelWindowRole::install(panelWindowRole_.get());
  panelKeyboard_ = std::make_unique<X11PanelKeyboard>();
  PanelKeyboard::install(panelKeyboard_.get());
  // logind's own idle action follows its lock; GNOME's, KDE's and Xfce's
  // power managers follow the session's inhibitors.
  idleSleepInhibitor_ = std::make_unique<CombinedIdleSleepInhibitor>();
  idleSleepInhibitor_->add(std::make_unique<LogindIdleSleepInhibitor>());
  idleSleepInhibitor_->add(std::make_unique<SessionIdleSleepInhibitor>(QDBusConnection::sessionBus()));
  IdleSleepInhibitor::install(idleSleepInhibitor_.get());
  compositorPresence_ = std::make_unique<X11CompositorPresence>();
  CompositorPresence::install(compositorPresence_.get());
  primaryHighlightWatch_ = std::make_unique<X11PrimaryHighlightWatch>();
  PrimaryHighlightWatch::install(primaryHighlightWatch_.get());
  inputMethod_ = std::make_unique<Fcitx5InputMethod>();
  InputMethod::install(inputMethod_.get());
  trayAppearance_ = std::make_unique<X11TrayAppearance>();
  TrayAppearance::install(trayAppearance_.get());
  StatusIcon::installFactory([] { return std::make_unique<DesktopStatusIcon>(); });
  workArea_ = std::make_unique<X11WorkArea>();
  WorkArea::install(workArea_.get());
  pointerButtons_ = std::make_unique<X11PointerButtons>();
  PointerButtons::install(pointerButtons_.get());
}
