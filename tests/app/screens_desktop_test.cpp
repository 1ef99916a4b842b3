// The main window and the onboarding on the screens of common laptops, each
// in a test desktop of its own at that size and scale, with a dock that
// reserves its space where there is one (also under i3, which publishes no
// work area); then on monitors of one screen, moved by a program and dragged
// by its title bar. What the X server holds of the window, frame included, lies in the
// part of the screen the window manager leaves free, and the sidebar's items
// and the onboarding's navigation bar show whole. Where the free part holds
// 1120 x 720, nothing changes.
#include "app/voice_inputapp.h"

#include "appshelltest.h"
#include "desktopprobe.h"
#include "mainwindow/accountbutton.h"
#include "mainwindow/mainview.h"
#include "mainwindow/plainbutton.h"
#include "mainwindow/sidebar.h"
#include "mainwindow/sidebaritem.h"
#include "mainwindow/squaresymbolbutton.h"
#include "onboarding/onboardingmanager.h"
#include "onboarding/onboardingview.h"
#include "overlays/overlaypanel.h"
#include "overlays/recordingoverlaywindowcontroller.h"
#include "platform/x11/x11pointerbuttons.h"
#include "platform/x11/x11workarea.h"
#include "testenvironment.h"
#include "theme/neonbutton.h"
#include "windowmanagerdesktop.h"

#include <QCursor>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScreen>
#include <QTest>

#include <array>

namespace {

// A screen as the test desktop starts it, by its settings: the size in device
// pixels, a dock (edge:pixels), Qt's scale factor and Xft.dpi; empty when unset.
// Under the test desktop's own window manager unless it names another.
struct Screen {
  const char* name;
  std::array<const char*, 4> settings;
  const char* manager = nullptr;
};
void PrintTo(const Screen& screen, std::ostream* out) { *out << screen.name; }
const std::array<const char*, 4> kSettings{"VELTRINE_TEST_SCREEN", "VELTRINE_TEST_DOCK", "QT_SCALE_FACTOR",
                                           "VELTRINE_TEST_DPI"};

// Unless this process runs on a desktop of `screen` under the window manager
// `manager` (this desktop's own by default), runs the test again in a new one
// and says so.
bool ranOnDesktopOf(const Screen& screen, QString manager = WindowManagerDesktop::current()) {
  bool here = manager == WindowManagerDesktop::current();
  for (size_t i = 0; i < kSettings.size(); ++i) here &= qEnvironmentVariable(kSettings[i]) == screen.settings[i];
  if (here) return false;
  for (size_t i = 0; i < kSettings.size(); ++i) qputenv(kSettings[i], screen.settings[i]);
  const WindowManagerDesktop::Run run = WindowManagerDesktop::runCurrentTestUnder(manager);
  for (const char* setting : kSettings) qunsetenv(setting);
  EXPECT_TRUE(run.passed) << run.output.toStdString();
  return true;
}

// The part of the screen the window manager leaves free, as it says it: its
// work area where it publishes one, else (i3) the rectangle of its workspace,
// else (no dock reserves any space) the whole screen.
QRect workArea() {
  const QList<int> area = propertyNumbers({}, "_NET_WORKAREA");
  if (area.size() >= 4) return QRect(area[0], area[1], area[2], area[3]);
  if (WindowManagerDesktop::current() == "i3") {
    const QJsonArray workspaces = QJsonDocument::fromJson(output("i3-msg", {"-t", "get_workspaces"}).toUtf8()).array();
    for (const QJsonValue& workspace : workspaces) {
      const QJsonObject rect = workspace["rect"].toObject();
      if (workspace["focused"].toBool()) return QRect(rect["x"].toInt(), rect["y"].toInt(), rect["width"].toInt(),
                                                      rect["height"].toInt());
    }
  }
  const QStringList size = output("xdotool", {"getdisplaygeometry"}).split(u' ');
  return size.size() == 2 ? QRect(0, 0, size[0].toInt(), size[1].toInt()) : QRect();
}

// The names of `parts` that do not show whole (a glowing part may paint past its edges).
QStringList hidden(const QList<QWidget*>& parts) {
  QStringList names;
  for (const QWidget* part : parts) {
    if (!part->isVisible() || !(QRegion(part->rect()) - part->visibleRegion()).isEmpty()) {
      names << QString::fromLatin1(part->metaObject()->className()) + u' ' + part->accessibleName();
    }
  }
  return names;
}

// Once the window manager has framed it, the window lies in the work area and
// shows `parts` whole; where the work area holds 1120 x 720 with the frame,
// the window has exactly that size.
void expectFitted(const QWidget& window, const QList<QWidget*>& parts) {
  const QString id = QString::number(window.winId());
  const bool fitted = waitUntil([&] { return workArea().contains(serverFrame(id)) && hidden(parts).isEmpty(); });
  const QRect frame = serverFrame(id);
  EXPECT_TRUE(fitted) << "frame (" << frame.x() << ", " << frame.y() << ") " << frame.width() << " x "
                      << frame.height() << ", hidden: " << hidden(parts).join(u',').toStdString();
  const QSize border = frame.size() - window.size() * window.devicePixelRatioF();
  if (workArea().size().expandedTo(QSize(1120, 720) * window.devicePixelRatioF() + border) == workArea().size()) {
    EXPECT_EQ(window.size(), QSize(1120, 720));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
  }
}

// The desktop's own work area and pointer, as the program reads them.
class OnTheDesktop : public AppShellTest {
 protected:
  OnTheDesktop() {
    WorkArea::install(&workArea_);
    PointerButtons::install(&pointerButtons_);
  }
  ~OnTheDesktop() override {
    WorkArea::install(nullptr);
    PointerButtons::install(nullptr);
  }

 private:
  X11WorkArea workArea_;
  X11PointerButtons pointerButtons_;
};

class Screens : public OnTheDesktop, public testing::WithParamInterface<Screen> {};

TEST_P(Screens, TheMainWindowAndTheOnboardingFitTheWorkArea) {
  REQUIRE_TEST_DESKTOP();
  const Screen& screen = GetParam();
  if (ranOnDesktopOf(screen, screen.manager ? screen.manager : WindowManagerDesktop::current())) return;
  signIn();
  RootWindow window(voice_inputApp::standardViews());
  window.show();
  auto* onboarding = qobject_cast<OnboardingView*>(window.contentView());
  ASSERT_NE(onboarding, nullptr);
  expectFitted(window, {onboarding->nextButton()});
  onboarding->goNext();
  expectFitted(window, {onboarding->nextButton(), onboarding->backButton()});

  OnboardingManager::shared().markCompleted();
  auto* main = qobject_cast<MainView*>(window.contentView());
  ASSERT_NE(main, nullptr);
  Sidebar* sidebar = main->sidebar();
  QList<QWidget*> parts{sidebar->accountButton(), sidebar->languageButton(), sidebar->permissionButton()};
  for (SidebarTab tab : allSidebarTabs()) parts << sidebar->item(tab);
  expectFitted(window, parts);
}

INSTANTIATE_TEST_SUITE_P(
    Laptops, Screens,
    testing::Values(Screen{"At1366x768", {"1366x768", "", "", ""}},
                    Screen{"At1366x768WithADock", {"1366x768", "bottom:44", "", ""}},
                    Screen{"At1920x1080ScaledTo150WithADock", {"1920x1080", "bottom:66", "1.5", ""}},
                    Screen{"At1920x1080ScaledTo150WithADockOnTop", {"1920x1080", "top:48", "1.5", ""}},
                    Screen{"At2560x1440ScaledTo200", {"2560x1440", "", "2", ""}},
                    Screen{"At1920x1080WithXftDpi144", {"1920x1080", "", "", "144"}},
                    // i3 publishes no work area: its bar and the dock keep their space all the same.
                    Screen{"At1366x768WithADockUnderI3", {"1366x768", "bottom:44", "", ""}, "i3"},
                    Screen{"At1920x1080ScaledTo150WithADockUnderI3", {"1920x1080", "bottom:66", "1.5", ""}, "i3"}),
    [](const testing::TestParamInfo<Screen>& info) { return std::string(info.param.name); });

QRect monitor(const QString& name) {
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->name() == name) return screen->geometry();
  }
  return {};
}

// The free part of a monitor. KWin's one work area for all monitors may
// leave nothing of a smaller one: it says nothing of that monitor then.
QRect freePartOf(const QString& name) {
  const QRect free = monitor(name) & workArea();
  return free.isEmpty() ? monitor(name) : free;
}

using Monitors = OnTheDesktop;

// The main window fits the monitor it is on, and follows it as a dock comes
// and goes and as it is moved to a smaller monitor and back; a floating panel
// shown on a tiny monitor is made as small as it is, and shown then on the
// large one has its own size again.
TEST_F(Monitors, TheWindowAndAPanelFitTheMonitorAndWorkAreaTheyAreShownIn) {
  REQUIRE_TEST_DESKTOP();
  if (ranOnDesktopOf(Screen{"Monitors", {"2800x900", "", "", ""}})) return;
  output("xrandr", {"--setmonitor", "Large", "1400/370x900/238+0+0", "screen"});
  output("xrandr", {"--setmonitor", "Medium", "1000/264x600/160+1400+0", "none"});
  output("xrandr", {"--setmonitor", "Tiny", "300/80x300/80+2500+0", "none"});
  ASSERT_TRUE(waitUntil([] { return QGuiApplication::screens().size() == 3; }));

  signIn();
  OnboardingManager::shared().markCompleted();
  RootWindow window(voice_inputApp::standardViews());
  window.show();
  const QString id = QString::number(window.winId());
  const auto movedTo = [&](int x, const char* name, bool ownSize) {
    if (x >= 0) QProcess::execute("xdotool", {"windowmove", id, QString::number(x), "40"});
    return waitUntil([&] {
      return window.screen()->name() == name && freePartOf(name).contains(serverFrame(id)) &&
             (window.size() == QSize(1120, 720)) == ownSize;
    });
  };
  EXPECT_TRUE(movedTo(40, "Large", true));
  // A second tray host is a dock of its own (the first keeps the tray).
  QProcess dock;
  dock.start("trayer", {"--edge", "bottom", "--height", "200", "--SetDockType", "true", "--SetPartialStrut", "true"});
  EXPECT_TRUE(movedTo(-1, "Large", false));
  dock.terminate();
  dock.waitForFinished(5000);
  EXPECT_TRUE(movedTo(-1, "Large", true));
  EXPECT_TRUE(movedTo(1450, "Medium", false));
  EXPECT_TRUE(movedTo(40, "Large", true));

  RecordingOverlayWindowController& recording = RecordingOverlayWindowController::shared();
  const auto widthShownOn = [&](const char* name) {
    recording.hide();
    const QPoint middle = monitor(name).center();
    QProcess::execute("xdotool", {"mousemove", QString::number(middle.x()), QString::number(middle.y())});
    EXPECT_TRUE(waitUntil([&] { return monitor(name).contains(QCursor::pos()); }));
    recording.show();
    const QString panel = QString::number(recording.panel()->winId());
    EXPECT_TRUE(waitUntil([&] { return monitor(name).contains(serverFrame(panel)); })) << name;
    return recording.panel()->width();
  };
  EXPECT_LE(widthShownOn("Tiny"), 300);
  EXPECT_EQ(widthShownOn("Large"), 360);
  recording.hide();
}

// Where the pointer is, in the X server's pixels.
QPoint pointer() {
  const QString location = output("xdotool", {"getmouselocation"});
  const auto value = [&](const char* name) {
    return QRegularExpression(QLatin1String(name) + ":(-?\\d+)").match(location).captured(1).toInt();
  };
  return QPoint(value("x"), value("y"));
}

// Drags the window by its title bar, as a user does: pressed there, moved
// by `by` in small steps a person's hand makes, released. The program's event
// loop runs all along, so it sees the move as it happens.
void dragByTheTitleBar(const QString& window, const QPoint& by) {
  const QRect frame = serverFrame(window);
  const QPoint start(frame.center().x(), frame.y() + propertyNumbers(window, "_NET_FRAME_EXTENTS").value(2) / 2);
  const auto n = [](int value) { return QString::number(value); };
  QProcess::execute("xdotool", {"mousemove", n(start.x()), n(start.y()), "mousedown", "1"});
  constexpr int kSteps = 30;
  for (int step = 1; step <= kSteps; ++step) {
    QTest::qWait(30);
    const QPoint at = start + by * step / kSteps;
    QProcess::execute("xdotool", {"mousemove", n(at.x()), n(at.y())});
  }
  QTest::qWait(200);
  QProcess::execute("xdotool", {"mouseup", "1"});
  EXPECT_EQ(pointer(), start + by);
}

// The window managers that move a window the user drags by its title bar.
class DraggedByTheTitleBar : public OnTheDesktop, public testing::WithParamInterface<std::string> {};

// Dragged onto a smaller monitor, the window comes to rest there, made as
// small as that monitor's work area; dragged back, it comes to rest with its
// own size again.
TEST_P(DraggedByTheTitleBar, TheWindowComesToRestFittingTheMonitorItIsDroppedOn) {
  REQUIRE_TEST_DESKTOP();
  if (ranOnDesktopOf(Screen{"TwoMonitors", {"2400x900", "", "", ""}}, QString::fromStdString(GetParam()))) return;
  output("xrandr", {"--setmonitor", "Large", "1400/370x900/238+0+0", "screen"});
  output("xrandr", {"--setmonitor", "Medium", "1000/264x600/160+1400+0", "none"});
  ASSERT_TRUE(waitUntil([] { return QGuiApplication::screens().size() == 2; }));

  signIn();
  OnboardingManager::shared().markCompleted();
  RootWindow window(voice_inputApp::standardViews());
  window.show();
  const QString id = QString::number(window.winId());
  // The window's place and size as the X server holds them, and how often they changed.
  QRect last;
  int changes = 0;
  const auto geometry = [&] {
    const QRect now = serverFrame(id);
    if (now != last) ++changes;
    return last = now;
  };
  const auto restsOn = [&](const char* name, bool ownSize) {
    const bool resting = waitUntilSteady(
        [&, held = QRect()]() mutable {
          const QRect now = geometry();
          const bool same = now == held;
          held = now;
          return same;
        },
        std::chrono::milliseconds(2000), std::chrono::seconds(15));
    const QRect frame = serverFrame(id);
    EXPECT_TRUE(resting) << changes << " changes";
    const bool fits = window.screen()->name() == name && freePartOf(name).contains(frame) &&
                      (window.size() == QSize(1120, 720)) == ownSize;
    EXPECT_TRUE(fits) << "on " << window.screen()->name().toStdString() << ", frame " << frame.width() << " x "
                      << frame.height() << " + " << frame.x() << " + " << frame.y() << ", window "
                      << window.width() << " x " << window.height();
    return resting && fits;
  };
  // Framed, with a title bar to drag it by.
  ASSERT_TRUE(waitUntil([&] { return propertyNumbers(id, "_NET_FRAME_EXTENTS").value(2) > 4; }));
  QProcess::execute("xdotool", {"windowmove", id, "40", "40"});
  ASSERT_TRUE(restsOn("Large", true));

  const QPoint medium = monitor("Medium").center();
  changes = 0;
  dragByTheTitleBar(id, QPoint(medium.x() - serverFrame(id).center().x(), 20));
  EXPECT_TRUE(restsOn("Medium", false));
  changes = 0;
  dragByTheTitleBar(id, QPoint(monitor("Large").center().x() - serverFrame(id).center().x(), 0));
  EXPECT_TRUE(restsOn("Large", true));
}

INSTANTIATE_TEST_SUITE_P(, DraggedByTheTitleBar, testing::Values("openbox", "kwin", "mutter", "xfwm4"),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
