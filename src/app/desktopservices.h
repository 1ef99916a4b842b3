#pragma once

#include <memory>

class AtspiAccessibility;
class CombinedIdleSleepInhibitor;
class DesktopSettingsLauncher;
class DesktopUrlOpener;
class Fcitx5InputMethod;
class PulseSoundServerWatcher;
class QtMicrophoneAccess;
class SysfsMachineInfo;
class TmuxTerminalDriver;
class X11AccessibilityTrust;
class X11CompositorPresence;
class X11PrimaryHighlightWatch;
class X11FrontApplication;
class X11KeyboardTap;
class X11Pasteboard;
class X11SyntheticKeyboard;
class X11TrayAppearance;
class X11WindowActivator;
class X11PanelKeyboard;
class X11PanelWindowRole;
class X11PointerButtons;
class X11WorkArea;

// The desktop as the program sees it: the X11 and Linux implementations of
// the platform interfaces, made and installed together at launch (tests
// install fakes instead). They live as long as this object.
class DesktopServices {
 public:
  DesktopServices();
  ~DesktopServices();

  // Makes and installs every implementation; once.
  void install();

 private:
  std::unique_ptr<X11AccessibilityTrust> accessibilityTrust_;
  std::unique_ptr<QtMicrophoneAccess> microphoneAccess_;
  std::unique_ptr<DesktopSettingsLauncher> settingsLauncher_;
  std::unique_ptr<PulseSoundServerWatcher> soundServer_;
  std::unique_ptr<X11KeyboardTap> keyboardTap_;
  std::unique_ptr<X11KeyboardTap> keyCaptureTap_;
  std::unique_ptr<X11FrontApplication> frontApplication_;
  std::unique_ptr<X11SyntheticKeyboard> syntheticKeyboard_;
  std::unique_ptr<X11Pasteboard> pasteboard_;
  std::unique_ptr<X11Pasteboard> primarySelection_;
  std::unique_ptr<AtspiAccessibility> accessibility_;
  std::unique_ptr<SysfsMachineInfo> machineInfo_;
  std::unique_ptr<X11WindowActivator> windowActivator_;
  std::unique_ptr<TmuxTerminalDriver> terminalDriver_;
  std::unique_ptr<DesktopUrlOpener> urlOpener_;
  std::unique_ptr<X11PanelWindowRole> panelWindowRole_;
  std::unique_ptr<X11PanelKeyboard> panelKeyboard_;
  std::unique_ptr<CombinedIdleSleepInhibitor> idleSleepInhibitor_;
  std::unique_ptr<X11CompositorPresence> compositorPresence_;
  std::unique_ptr<X11PrimaryHighlightWatch> primaryHighlightWatch_;
  std::unique_ptr<Fcitx5InputMethod> inputMethod_;
  std::unique_ptr<X11TrayAppearance> trayAppearance_;
  std::unique_ptr<X11WorkArea> workArea_;
  std::unique_ptr<X11PointerButtons> pointerButtons_;
};
