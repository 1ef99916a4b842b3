#include "overlays/overlaycontentview.h"

QPainterPath OverlayContentView::outline() const {
  QPainterPath path;
  path.addRect(rect());
  return path;
}
