// The idle tray image reads on the desktop's panel, light or dark.
#include "app/statusitem.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QSystemTrayIcon>

#include <cmath>

#include <gtest/gtest.h>

namespace {

// The mean lightness (0..1) of the image's visible pixels.
double inkLightness(const QImage& image) {
  double sum = 0;
  double weight = 0;
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y) {
    for (int x = 0; x < argb.width(); ++x) {
      const QColor pixel = argb.pixelColor(x, y);
      sum += pixel.lightnessF() * pixel.alphaF();
      weight += pixel.alphaF();
    }
  }
  return weight > 0 ? sum / weight : -1;
}

TEST(StatusIcon, TheIdleImageStandsOutOnLightAndDarkPanels) {
  const struct {
    const char* desktop;
    QColor window;
    QColor text;
  } desktops[] = {
      {"light", QColor(239, 239, 239), QColor(0, 0, 0)},
      {"dark", QColor(42, 42, 42), QColor(255, 255, 255)},
  };
  for (const auto& desktop : desktops) {
    QPalette palette(desktop.window);
    palette.setColor(QPalette::Window, desktop.window);
    palette.setColor(QPalette::WindowText, desktop.text);
    QGuiApplication::setPalette(palette);
    StatusItem item;
    item.updateStatusIcon(false);
    const double ink = inkLightness(item.trayIcon()->icon().pixmap(22).toImage());
    ASSERT_GE(ink, 0) << desktop.desktop << ": the idle image is empty";
    EXPECT_GT(std::abs(ink - desktop.window.lightnessF()), 0.4) << desktop.desktop << " panel, ink lightness " << ink;
  }
}

}  // namespace
