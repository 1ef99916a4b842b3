#include "platform/statusicon.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

class NoStatusIcon final : public StatusIcon {
 public:
  void setImages(const Images&) override {}
  void setRecording(bool) override {}
  void setMenu(const Menu&) override {}
  void show() override {}
  void popUpMenu() override {}
};

std::mutex factoryMutex;
StatusIcon::Factory& installedFactory() {
  static StatusIcon::Factory factory;
  return factory;
}

double relativeLuminance(const QColor& color) {
  const auto channel = [](double value) {
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
  };
  const QColor rgb = color.toRgb();
  return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

// WCAG's contrast ratio, from 1 to 21.
double contrast(const QColor& a, const QColor& b) {
  const double first = relativeLuminance(a);
  const double second = relativeLuminance(b);
  return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

}  // namespace

std::unique_ptr<StatusIcon> StatusIcon::create() {
  Factory factory;
  {
    std::lock_guard lock(factoryMutex);
    factory = installedFactory();
  }
  if (factory) {
    if (auto icon = factory()) return icon;
  }
  return std::make_unique<NoStatusIcon>();
}

void StatusIcon::installFactory(Factory factory) {
  std::lock_guard lock(factoryMutex);
  installedFactory() = std::move(factory);
}

QByteArray StatusIcon::filled(const QByteArray& drawing, const QColor& color) {
  // Parts without a fill of their own inherit the root element's.
  QByteArray result = drawing;
  const qsizetype root = result.indexOf("<svg");
  if (root < 0) return result;
  return result.insert(root + 4, " fill=\"" + color.name(QColor::HexRgb).toLatin1() + '"');
}

QColor StatusIcon::idleColor(const QColor& panelText, const QColor& panelBackground, const QColor& fallback) {
  // WCAG asks 3:1 of graphics against what is next to them.
  constexpr double kReadable = 3.0;
  if (panelText.isValid() && (!panelBackground.isValid() || contrast(panelText, panelBackground) >= kReadable)) {
    return panelText;
  }
  if (!panelBackground.isValid()) return fallback;
  const QColor black(Qt::black), white(Qt::white);
  return contrast(black, panelBackground) >= contrast(white, panelBackground) ? black : white;
}

void StatusIcon::fillMenu(QMenu& menu, const Menu& entries) {
  menu.clear();
  for (qsizetype index = 0; index < entries.size(); ++index) {
    const MenuEntry& entry = entries[index];
    if (entry.isSeparator()) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(entry.title);
    action->setEnabled(entry.enabled);
    action->setShortcut(entry.shortcut);
    connect(action, &QAction::triggered, this, [this, index] { Q_EMIT entryChosen(int(index)); });
  }
}
