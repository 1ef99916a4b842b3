#include "app/screenfit.h"

#include <algorithm>

namespace ScreenFit {

QSize contentSize(const QSize& asked, const QSize& minimum, const QRect& workArea, const QMargins& frame) {
  if (workArea.isEmpty()) return asked;
  return asked.boundedTo(workArea.size().shrunkBy(frame)).expandedTo(minimum.boundedTo(asked));
}

QPoint framePosition(const QRect& frame, const QRect& workArea) {
  if (workArea.isEmpty()) return frame.topLeft();
  const auto inside = [](int start, int length, int areaStart, int areaLength) {
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
  };
  return QPoint(inside(frame.x(), frame.width(), workArea.x(), workArea.width()),
                inside(frame.y(), frame.height(), workArea.y(), workArea.height()));
}

}  // namespace ScreenFit
