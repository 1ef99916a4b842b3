#include "theme/palette.h"

#include <algorithm>

namespace Palette {

QColor withOpacity(const QColor& color, qreal opacity) {
  QColor result = color;
  result.setAlphaF(float(color.alphaF() * std::clamp<qreal>(opacity, 0.0, 1.0)));
  return result;
}

}  // namespace Palette
