#include "platform/workarea.h"

#include "core/installed.h"

#include <QScreen>

#include <algorithm>

namespace {

class WindowManagersWorkArea final : public WorkArea {
 public:
  QRect freeArea(const QScreen& screen) override { return screen.availableGeometry(); }
};

using InstalledWorkArea = Installed<WorkArea, WindowManagersWorkArea>;

}  // namespace

QRect WorkArea::leftFree(const QRect& monitor, const QList<Reserved>& bands) {
  QRect free = monitor;
  for (const Reserved& reserved : bands) {
    if (!reserved.band.intersects(monitor)) continue;
    switch (reserved.edge) {
      case Qt::LeftEdge:
        free.setLeft(std::max(free.left(), reserved.band.right() + 1));
        break;
      case Qt::RightEdge:
        free.setRight(std::min(free.right(), reserved.band.left() - 1));
        break;
      case Qt::TopEdge:
        free.setTop(std::max(free.top(), reserved.band.bottom() + 1));
        break;
      case Qt::BottomEdge:
        free.setBottom(std::min(free.bottom(), reserved.band.top() - 1));
        break;
    }
  }
  return free.isValid() ? free : QRect();
}

WorkArea& WorkArea::current() { return InstalledWorkArea::current(); }

void WorkArea::install(WorkArea* area) { InstalledWorkArea::install(area); }
