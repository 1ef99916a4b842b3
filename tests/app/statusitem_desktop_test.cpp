// The status icon on the panels of the common X11 desktops, each started with
// its packaged settings in a test desktop of its own, as a new user meets it:
// the idle icon stands out from the panel in a picture of the screen, the
// first right click opens the program's whole menu in the current language,
// the menu follows a change of language at its new size, the recording image
// shows and gives way to the idle one, and the menu's items do what they say
// whichever button opened it.
#include "app/appdelegate.h"
#include "app/statusitem.h"

#include "appshelltest.h"
#include "privatedisplay.h"
#include "core/appevents.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "platform/linux/desktopstatusicon.h"
#include "platform/x11/x11trayappearance.h"
#include "shownmenu.h"
#include "testenvironment.h"
#include "windowmanagerdesktop.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

struct Panel {
  const char* name;  // VELTRINE_TEST_TRAY
  const char* testName;
};
void PrintTo(const Panel& panel, std::ostream* out) { *out << panel.name; }

// Unless this process runs on a desktop with `panel`, runs the test again in a
// new one and says so.
bool ranOnDesktopWith(const Panel& panel) {
  if (qEnvironmentVariable("VELTRINE_TEST_TRAY") == QLatin1String(panel.name)) return false;
  qputenv("VELTRINE_TEST_TRAY", panel.name);
  const WindowManagerDesktop::Run run = WindowManagerDesktop::runCurrentTestUnder(WindowManagerDesktop::current());
  qunsetenv("VELTRINE_TEST_TRAY");
  EXPECT_TRUE(run.passed) << run.output.toStdString();
  // The figures measured there, for the record.
  for (const QString& line : run.output.split(u'\n')) {
    if (line.startsWith(QLatin1String("measured:"))) std::cout << line.toStdString() << std::endl;
  }
  return true;
}

// WCAG's contrast ratio, from the colours' relative luminance.
double contrast(QRgb a, QRgb b) {
  const auto luminance = [](QRgb colour) {
    const auto channel = [](int value) {
      const double v = value / 255.0;
      return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) + 0.0722 * channel(qBlue(colour));
  };
  const double first = luminance(a), second = luminance(b);
  return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QImage screenImage() {
  return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

QRgb mostCommon(const QList<QRgb>& colours) {
  QHash<QRgb, int> counts;
  for (QRgb colour : colours) ++counts[colour];
  QRgb best = 0;
  int bestCount = -1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (it.value() > bestCount) {
      best = it.key();
      bestCount = it.value();
    }
  }
  return best;
}

// The icon where it changed between two pictures of the screen: the changed
// pixels that make an icon-sized, about square patch (a clock that ticks
// meanwhile is not square).
QRect iconBetween(const QImage& before, const QImage& after) {
  const int width = after.width(), height = after.height();
  QList<int> label(width * height, 0);
  const auto changed = [&](int x, int y) { return before.pixel(x, y) != after.pixel(x, y); };
  QRect best;
  int nextLabel = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (label[y * width + x] || !changed(x, y)) continue;
      // Gather the patch: changed pixels no more than two apart.
      QRect box(x, y, 1, 1);
      QList<QPoint> open{{x, y}};
      label[y * width + x] = ++nextLabel;
      while (!open.isEmpty()) {
        const QPoint p = open.takeLast();
        box |= QRect(p, QSize(1, 1));
        for (int dy = -2; dy <= 2; ++dy) {
          for (int dx = -2; dx <= 2; ++dx) {
            const int nx = p.x() + dx, ny = p.y() + dy;
            if (nx < 0 || ny < 0 || nx >= width || ny >= height || label[ny * width + nx] || !changed(nx, ny)) continue;
            label[ny * width + nx] = nextLabel;
            open.append({nx, ny});
          }
        }
      }
      const bool iconSized = box.width() >= 10 && box.height() >= 10 && box.width() <= 72 && box.height() <= 72 &&
                             std::abs(box.width() - box.height()) <= 4;
      if (iconSized && box.width() * box.height() > best.width() * best.height()) best = box;
    }
  }
  return best;
}

struct IconLook {
  QRgb background = 0;  // the panel around the icon
  QRgb colour = 0;      // the icon's drawing: the colour that stands out most on a sixteenth of its square
  double contrast = 0;
};

IconLook lookAt(const QImage& screen, const QRect& icon) {
  IconLook look;
  QList<QRgb> around, inside;
  const QRect ring = icon.adjusted(-3, -3, 3, 3) & screen.rect();
  for (int y = ring.top(); y <= ring.bottom(); ++y) {
    for (int x = ring.left(); x <= ring.right(); ++x) {
      (icon.contains(x, y) ? inside : around) << screen.pixel(x, y);
    }
  }
  look.background = mostCommon(around);
  // Edges blend into the panel: the drawing's own colour is the one its
  // strokes share, not the blend at their edges.
  std::sort(inside.begin(), inside.end(), [&](QRgb a, QRgb b) {
    return contrast(a, look.background) > contrast(b, look.background);
  });
  look.colour = inside.value(inside.size() / 16, look.background);
  look.contrast = contrast(look.colour, look.background);
  return look;
}

// The share of the icon's pixels that differ between two pictures.
double changedShare(const QImage& a, const QImage& b, const QRect& icon) {
  int changed = 0;
  for (int y = icon.top(); y <= icon.bottom(); ++y) {
    for (int x = icon.left(); x <= icon.right(); ++x) changed += a.pixel(x, y) != b.pixel(x, y);
  }
  return double(changed) / (icon.width() * icon.height());
}

int reddish(const QImage& screen, const QRect& icon) {
  int count = 0;
  for (int y = icon.top(); y <= icon.bottom(); ++y) {
    for (int x = icon.left(); x <= icon.right(); ++x) {
      const QRgb colour = screen.pixel(x, y);
      count += qRed(colour) > 170 && qGreen(colour) < 110 && qBlue(colour) < 130;
    }
  }
  return count;
}

// Whether Qt's XEmbed icon is up and not yet in the tray (there is none over
// StatusNotifierItem).
bool xembedIconOutsideTheTray(TrayAppearance& tray) {
  const WId window = DesktopStatusIcon::xembedIconWindow();
  return window && !tray.holdsIcon(window);
}

void xdotool(const QStringList& arguments) { QProcess::execute(QStringLiteral("xdotool"), arguments); }

void click(QPoint at, int button) {
  xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
  xdotool({"click", QString::number(button)});
}

// The menu a click on the icon opens.
ShownMenu menuOf(QPoint icon, int button) {
  return ShownMenu::openedBy([&] { click(icon, button); });
}

void closeMenu() { xdotool({"key", "Escape"}); }

class StatusIconOnPanels : public AppShellTest, public testing::WithParamInterface<Panel> {};

TEST_P(StatusIconOnPanels, StandsOutAndOpensTheCurrentMenuWhole) {
  REQUIRE_TEST_DESKTOP();
  if (ranOnDesktopWith(GetParam())) return;
  const QString panel = QString::fromLatin1(GetParam().name);
  LanguageManager::shared().setCurrent(AppLanguage::en);
  X11TrayAppearance appearance;
  TrayAppearance::install(&appearance);
  StatusIcon::installFactory([] { return std::make_unique<DesktopStatusIcon>(); });
  // The pointer rests away from the panels, as after a click elsewhere.
  const QPoint rest = QGuiApplication::primaryScreen()->geometry().center();
  xdotool({"mousemove", QString::number(rest.x()), QString::number(rest.y())});
  const QImage before = screenImage();

  AppDelegate delegate;
  QWidget mainWindow;
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  // Shown, and laid out by the panel (which may move its other parts aside).
  // Other parts of a panel change by themselves (polybar's load figures).
  QImage idle;
  EXPECT_TRUE(waitUntil([&] { return (idle = screenImage()) != before && !xembedIconOutsideTheTray(appearance); },
                        std::chrono::seconds(15)))
      << "nothing appeared on " << panel.toStdString();
  waitUntil([] { return false; }, std::chrono::seconds(1));
  idle = screenImage();

  // The icon is what the recording image changes, in its own colours; the
  // idle image comes back after the recording.
  QRect icon;
  Q_EMIT AppEvents::shared().audioRecorderStateChanged(true);
  EXPECT_TRUE(waitUntil([&] {
    const QImage recording = screenImage();
    icon = iconBetween(idle, recording);
    return icon.isValid() && reddish(recording, icon) >= icon.width() * icon.height() / 8;
  })) << "no recording image on " << panel.toStdString();
  ASSERT_TRUE(icon.isValid());
  Q_EMIT AppEvents::shared().audioRecorderStateChanged(false);
  EXPECT_TRUE(waitUntil([&] { return changedShare(screenImage(), idle, icon) < 0.02; })) << panel.toStdString();

  const IconLook look = lookAt(idle, icon);
  std::cout << "measured: " << panel.toStdString() << " idle icon " << QColor(look.colour).name().toStdString()
            << " on " << QColor(look.background).name().toStdString() << ", contrast " << look.contrast << ":1"
            << std::endl;
  EXPECT_GE(look.contrast, 3.0);

  const auto expected = [] {
    const AppStrings& s = currentStrings();
    return QStringList{s.menuShowMain, s.menuPermissions, s.menuCheckUpdate, s.menuCrashNoLog, s.menuQuit};
  };
  // The first right click opens the program's menu, whole.
  ShownMenu menu = menuOf(icon.center(), 3);
  EXPECT_EQ(menu.titles(), expected()) << panel.toStdString();
  EXPECT_TRUE(menu.whole()) << panel.toStdString();
  const int english = menu.place.width();
  closeMenu();

  // Each language at its own size: a longer one makes the menu wider, and the
  // first one gives the first size again.
  QList<int> widths;
  for (AppLanguage language : {AppLanguage::ru, AppLanguage::zh, AppLanguage::en}) {
    LanguageManager::shared().setCurrent(language);
    menu = menuOf(icon.center(), 3);
    EXPECT_EQ(menu.titles(), expected()) << panel.toStdString();
    EXPECT_TRUE(menu.whole()) << panel.toStdString();
    widths << menu.place.width();
    closeMenu();
  }
  std::cout << "measured: " << panel.toStdString() << " menu widths en " << english << ", ru " << widths.value(0)
            << ", zh " << widths.value(1) << ", en again " << widths.value(2) << std::endl;
  EXPECT_GT(widths.value(0), english);
  EXPECT_EQ(widths.value(2), english);

  // The left button opens the same menu, whose first item shows the main window.
  menu = menuOf(icon.center(), 1);
  ASSERT_EQ(menu.titles(), expected()) << panel.toStdString();
  click(menu.items.first().place.center(), 1);
  EXPECT_TRUE(waitUntil([&] { return mainWindow.isVisible(); })) << panel.toStdString();

  // Quit, from the menu of a right click, ends the program's event loop.
  QTimer::singleShot(0, [&] {
    menu = menuOf(icon.center(), 3);
    if (menu.titles() == expected()) click(menu.items.last().place.center(), 1);
  });
  QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QCoreApplication::exec(), 0) << panel.toStdString() << ": " << menu.titles().join(u',').toStdString();

  StatusIcon::installFactory({});
  TrayAppearance::install(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Panels, StatusIconOnPanels,
                         testing::Values(Panel{"trayer", "Trayer"}, Panel{"xfce4-panel", "Xfce"},
                                         Panel{"xfce4-panel:light", "XfceLight"}, Panel{"mate-panel", "Mate"},
                                         Panel{"lxqt-panel", "Lxqt"}, Panel{"tint2", "Tint2"},
                                         Panel{"tint2:light", "Tint2Light"}, Panel{"lxpanel", "Lxpanel"},
                                         Panel{"polybar", "Polybar"}),
                         [](const testing::TestParamInfo<Panel>& info) { return std::string(info.param.testName); });

// A panel whose tray holds StatusNotifierItems only, with nobody (or a
// windowless proxy such as xembedsniproxy) owning the XEmbed tray, as Plasma's:
// the icon takes its colour from the desktop's dock, here polybar's dark bar
// (its packaged settings keep its tray off), not from the application palette.
TEST(TrayAppearanceOfADesktop, WithoutAnXEmbedTrayComesFromTheDock) {
  REQUIRE_TEST_DESKTOP();
  PrivateDisplay display;
  ASSERT_FALSE(display.name.isEmpty());
  QProcess bar;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DISPLAY"), display.name);
  bar.setProcessEnvironment(environment);
  bar.start(QStringLiteral("polybar"), {QStringLiteral("--config=/etc/polybar/config.ini"), QStringLiteral("example")});
  ASSERT_TRUE(bar.waitForStarted(5000));
  const auto stop = qScopeGuard([&] {
    bar.terminate();
    if (!bar.waitForFinished(3000)) bar.kill();
  });

  // The bar's own colour, as its settings name it.
  QFile settings(QStringLiteral("/etc/polybar/config.ini"));
  ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
  const QRegularExpressionMatch named =
      QRegularExpression(QStringLiteral("^background = (#[0-9A-Fa-f]{6})$"), QRegularExpression::MultilineOption)
          .match(QString::fromUtf8(settings.readAll()));
  ASSERT_TRUE(named.hasMatch());
  const QColor drawn(named.captured(1));

  X11TrayAppearance appearance(display.name.toLocal8Bit());
  QColor background;
  // Drawn once the bar has painted (a new window is black first).
  EXPECT_TRUE(waitUntil(
      [&] {
        appearance.refresh();
        background = appearance.background();
        return background.isValid() && contrast(background.rgb(), drawn.rgb()) < 1.1;
      },
      std::chrono::seconds(15)))
      << "read " << background.name().toStdString() << ", the bar is " << drawn.name().toStdString();
  const QColor icon = StatusIcon::idleColor(appearance.textColor(), background, QColor(Qt::black));
  EXPECT_GE(contrast(icon.rgb(), background.rgb()), 3.0)
      << icon.name().toStdString() << " on " << background.name().toStdString();
}

}  // namespace
