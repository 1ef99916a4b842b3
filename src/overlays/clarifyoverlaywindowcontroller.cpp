#include "overlays/clarifyoverlaywindowcontroller.h"

#include "core/charactercount.h"
#include "core/clock.h"
#include "overlays/clarifyoverlayview.h"
#include "overlays/overlaypanel.h"

#include <QtMath>

#include <algorithm>

namespace {

constexpr int kWidth = 360;

// Just below the recording indicator: the card's top edge 12 under the
// indicator's bottom edge (12 % of the screen's height).
PanelPlacement placementFor(int height) { return PanelPlacement{0.12, -qreal(height) - 12}; }

}  // namespace

QSize clarifyPanelSize(const QString& question) {
  const qsizetype characters = characterCount(question);
  const qsizetype lines = std::max<qsizetype>(1, (characters + 27) / 28);
  const qsizetype height = std::clamp<qsizetype>(lines * 22 + 54, 90, 140);
  return QSize(kWidth, int(height));
}

ClarifyOverlayWindowController& ClarifyOverlayWindowController::shared() {
  static auto* instance = new ClarifyOverlayWindowController;
  return *instance;
}

ClarifyOverlayWindowController::ClarifyOverlayWindowController() {
  dismissTimer_.setSingleShot(true);
  connect(&dismissTimer_, &QTimer::timeout, this, &ClarifyOverlayWindowController::hide);
}

void ClarifyOverlayWindowController::makePanel() {
  panel_ = new OverlayPanel({QSize(kWidth, 100), true, false});
  panel_->setContentView(new ClarifyOverlayView(QString()));
}

void ClarifyOverlayWindowController::show(const QString& question) {
  if (!panel_) makePanel();
  auto* view = new ClarifyOverlayView(question);
  view->resize(kWidth, 0);
  // Sized for the text the card shows (the stock line for an empty question),
  // and never lower than the card, which would otherwise be cut.
  QSize size = clarifyPanelSize(view->shownText());
  size.setHeight(std::max(size.height(), qCeil(view->cardHeight())));
  panel_->setContentSize(size);
  panel_->setContentView(view);
  panel_->place(placementFor(size.height()));
  panel_->orderFrontRegardless();
  // A new question restarts the five seconds; the earlier timer never fires.
  dismissTimer_.start(Clock::scaledMs(kDismissMs));
}

void ClarifyOverlayWindowController::hide() {
  dismissTimer_.stop();
  if (panel_) panel_->orderOut();
}
