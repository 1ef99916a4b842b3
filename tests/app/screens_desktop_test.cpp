// The main window and the onboarding window on the screens of common laptops,
// each in a test desktop of its own at that size and scale, with a dock that
// reserves its space where there is one: what the X server holds of the
// window, frame included, lies inside the work area the window manager
// leaves, and the sidebar's items and the onboarding's navigation bar show
// whole. Where the work area holds 1120 x 720, nothing changes.
#include "app/voice_inputapp.h"

#include "appshelltest.h"
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
#include "testenvironment.h"
#include "theme/neonbutton.h"
#include "windowmanagerdesktop.h"

#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>

namespace {

// A screen as the test desktop starts it: its size in device pixels, a dock
// (edge:pixels), Qt's scale factor and Xft.dpi, each empty when not set.
struct Screen {
  const char* name;
  const char* size;
  const char* dock;
  const char* scale;
  const char* dpi;
};

void PrintTo(const Screen& screen, std::ostream* out) { *out << screen.name; }

const char* const kSettings[] = {"VELTRINE_TEST_SCREEN", "VELTRINE_TEST_DOCK", "QT_SCALE_FACTOR", "VELTRINE_TEST_DPI"};

// Whether this process runs on a desktop of that screen; else the test runs
// itself again in a new one.
bool onDesktopOf(const Screen& screen) {
  const char* values[] = {screen.size, screen.dock, screen.scale, screen.dpi};
  for (int i = 0; i < 4; ++i) {
    if (qEnvironmentVariable(kSettings[i]) != QLatin1String(values[i])) return false;
  }
  return true;
}

WindowManagerDesktop::Run runOnDesktopOf(const Screen& screen) {
  const char* values[] = {screen.size, screen.dock, screen.scale, screen.dpi};
  for (int i = 0; i < 4; ++i) qputenv(kSettings[i], values[i]);
  WindowManagerDesktop::Run run = WindowManagerDesktop::runCurrentTestUnder(WindowManagerDesktop::current());
  for (const char* setting : kSettings) qunsetenv(setting);
  return run;
}

QList<int> numbers(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(5000);
  QList<int> found;
  const QString text = QString::fromUtf8(process.readAllStandardOutput()).section(u'=', 1);
  for (const QRegularExpressionMatch& match : QRegularExpression(QStringLiteral("-?\\d+")).globalMatch(text)) {
    found.append(match.captured().toInt());
  }
  return found;
}

// The window with its frame, in the X server's pixels.
QRect serverFrame(const QWidget& window) {
  const QString id = QString::number(window.winId());
  QProcess xwininfo;
  xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
  xwininfo.waitForFinished(5000);
  const QString info = QString::fromUtf8(xwininfo.readAllStandardOutput());
  const auto value = [&](const char* label) {
    return QRegularExpression(QLatin1String(label) + QStringLiteral(":\\s*(-?\\d+)")).match(info).captured(1).toInt();
  };
  const QRect client(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"));
  const QList<int> extents = numbers(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
  if (extents.size() != 4) return client;
  return client.adjusted(-extents[0], -extents[2], extents[1], extents[3]);
}

// The part of the screen the window manager leaves free, in the server's pixels.
QRect workArea() {
  const QList<int> area = numbers(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_WORKAREA")});
  return area.size() >= 4 ? QRect(area[0], area[1], area[2], area[3]) : QRect();
}

// What of `parts` does not show whole on screen.
QStringList hidden(const QList<QWidget*>& parts) {
  QStringList names;
  for (const QWidget* part : parts) {
    // A glowing widget may paint past its edges.
    if (!part->isVisible() || !(QRegion(part->rect()) - part->visibleRegion()).isEmpty()) {
      names << QString::fromLatin1(part->metaObject()->className()) + u' ' + part->accessibleName();
    }
  }
  return names;
}

// The window lies in the work area and shows `parts` whole, once the window
// manager has framed it; where the work area holds the window's own size,
// the window has exactly that size.
void expectFitted(const QWidget& window, const QList<QWidget*>& parts, const QSize& asked) {
  const qreal ratio = window.devicePixelRatioF();
  const bool fitted = waitUntil(
      [&] { return window.isVisible() && workArea().contains(serverFrame(window)) && hidden(parts).isEmpty(); },
      std::chrono::seconds(10));
  const QRect frame = serverFrame(window);
  EXPECT_TRUE(fitted) << "frame (" << frame.x() << ", " << frame.y() << ") " << frame.width() << " x "
                      << frame.height() << " hides " << hidden(parts).join(u',').toStdString();
  const QSize border = frame.size() - window.size() * ratio;
  if (workArea().width() >= asked.width() * ratio + border.width() &&
      workArea().height() >= asked.height() * ratio + border.height()) {
    EXPECT_EQ(window.size(), asked);
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
  }
}

class Screens : public AppShellTest, public testing::WithParamInterface<Screen> {};

TEST_P(Screens, TheMainWindowAndTheOnboardingFitTheWorkArea) {
  REQUIRE_TEST_DESKTOP();
  if (!onDesktopOf(GetParam())) {
    const WindowManagerDesktop::Run run = runOnDesktopOf(GetParam());
    EXPECT_TRUE(run.passed) << run.output.toStdString();
    return;
  }
  signIn();
  RootWindow window(voice_inputApp::standardViews());
  window.show();
  auto* onboarding = qobject_cast<OnboardingView*>(window.contentView());
  ASSERT_NE(onboarding, nullptr);
  expectFitted(window, {onboarding->nextButton()}, QSize(1120, 720));
  onboarding->goNext();
  expectFitted(window, {onboarding->nextButton(), onboarding->backButton()}, QSize(1120, 720));

  OnboardingManager::shared().markCompleted();
  auto* main = qobject_cast<MainView*>(window.contentView());
  ASSERT_NE(main, nullptr);
  Sidebar* sidebar = main->sidebar();
  QList<QWidget*> parts{sidebar->accountButton(), sidebar->languageButton(), sidebar->permissionButton()};
  for (SidebarTab tab : allSidebarTabs()) parts << sidebar->item(tab);
  expectFitted(window, parts, QSize(1120, 720));
}

INSTANTIATE_TEST_SUITE_P(
    Laptops, Screens,
    testing::Values(Screen{"At1366x768", "1366x768", "", "", ""},
                    Screen{"At1366x768WithADock", "1366x768", "bottom:44", "", ""},
                    Screen{"At1920x1080ScaledTo150WithADock", "1920x1080", "bottom:66", "1.5", ""},
                    Screen{"At1920x1080ScaledTo150WithADockOnTop", "1920x1080", "top:48", "1.5", ""},
                    Screen{"At2560x1440ScaledTo200", "2560x1440", "", "2", ""},
                    Screen{"At1920x1080WithXftDpi144", "1920x1080", "", "", "144"}),
    [](const testing::TestParamInfo<Screen>& info) { return std::string(info.param.name); });

// Where the screen called `name` lies, in the server's pixels.
QRect monitor(const QString& name) {
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->name() == name) return QRect(screen->geometry().topLeft(), screen->size() * screen->devicePixelRatio());
  }
  return {};
}

// Runs a command of the desktop to its end, its output unread.
void run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(5000);
}

// Three monitors of one screen: the main window fits the one it is on, and
// follows it as a dock comes and goes and as it is moved to a smaller one and
// back; a floating panel shown on a tiny one is made as small as it is, and
// shown then on the large one has its own size again.
using Monitors = AppShellTest;

TEST_F(Monitors, TheWindowAndAPanelFitTheMonitorAndWorkAreaTheyAreShownIn) {
  REQUIRE_TEST_DESKTOP();
  const Screen monitors{"Monitors", "2800x900", "", "", ""};
  if (!onDesktopOf(monitors)) {
    const WindowManagerDesktop::Run nested = runOnDesktopOf(monitors);
    EXPECT_TRUE(nested.passed) << nested.output.toStdString();
    return;
  }
  const QString xrandr = QStringLiteral("xrandr"), setMonitor = QStringLiteral("--setmonitor");
  run(xrandr, {setMonitor, QStringLiteral("Large"), QStringLiteral("1400/370x900/238+0+0"), QStringLiteral("screen")});
  run(xrandr, {setMonitor, QStringLiteral("Medium"), QStringLiteral("1000/264x600/160+1400+0"), QStringLiteral("none")});
  run(xrandr, {setMonitor, QStringLiteral("Tiny"), QStringLiteral("300/80x300/80+2500+0"), QStringLiteral("none")});
  ASSERT_TRUE(waitUntil([] { return QGuiApplication::screens().size() == 3; }));

  signIn();
  OnboardingManager::shared().markCompleted();
  RootWindow window(voice_inputApp::standardViews());
  window.show();
  const QString id = QString::number(window.winId());
  const auto fitsOn = [&](const char* name, bool ownSize) {
    return waitUntil([&] {
      return window.screen()->name() == QLatin1String(name) &&
             (monitor(QLatin1String(name)) & workArea()).contains(serverFrame(window)) &&
             (window.size() == QSize(1120, 720)) == ownSize;
    });
  };
  const auto moveTo = [&](int x, int y) {
    run(QStringLiteral("xdotool"), {QStringLiteral("windowmove"), id, QString::number(x), QString::number(y)});
  };
  moveTo(40, 40);
  EXPECT_TRUE(fitsOn("Large", true));
  // A second tray host is a dock of its own (the first keeps the tray).
  QProcess dock;
  dock.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--height"),
                                        QStringLiteral("200"), QStringLiteral("--SetDockType"), QStringLiteral("true"),
                                        QStringLiteral("--SetPartialStrut"), QStringLiteral("true")});
  EXPECT_TRUE(fitsOn("Large", false));
  dock.terminate();
  dock.waitForFinished(5000);
  EXPECT_TRUE(fitsOn("Large", true));
  moveTo(1450, 20);
  EXPECT_TRUE(fitsOn("Medium", false));
  moveTo(40, 40);
  EXPECT_TRUE(fitsOn("Large", true));

  RecordingOverlayWindowController& recording = RecordingOverlayWindowController::shared();
  const auto shownOn = [&](const char* name, int x, int y) {
    recording.hide();
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(x), QString::number(y)});
    EXPECT_TRUE(waitUntil([&] { return monitor(QLatin1String(name)).contains(QCursor::pos()); }));
    recording.show();
    EXPECT_TRUE(waitUntil([&] { return monitor(QLatin1String(name)).contains(serverFrame(*recording.panel())); }))
        << name;
    return recording.panel()->size();
  };
  EXPECT_LE(shownOn("Tiny", 2600, 100).width(), 300);
  EXPECT_EQ(shownOn("Large", 600, 500).width(), 360);
  recording.hide();
}

}  // namespace
