#include "overlays/tipoverlaywindowcontroller.h"

#include "core/clock.h"
#include "overlays/overlaypanel.h"
#include "overlays/tipoverlayview.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
constexpr PanelPlacement kPlacement{0, 60};
}

TipOverlayWindowController& TipOverlayWindowController::shared() {
  static auto* instance = new TipOverlayWindowController;
  return *instance;
}

TipOverlayWindowController::TipOverlayWindowController() {
  dismissTimer_.setSingleShot(true);
  connect(&dismissTimer_, &QTimer::timeout, this, &TipOverlayWindowController::dismiss);

  // The fade lowers the panel's window opacity, which only a compositing
  // window manager shows; without one the panel dissolves into the desktop
  // in step instead. The end of the fade hides the panel either way.
  fade_.setStartValue(1.0);
  fade_.setEndValue(0.0);
  connect(&fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
    if (!panel_) return;
    const qreal opacity = value.toReal();
    panel_->setWindowOpacity(opacity);
    panel_->setDissolve(1.0 - opacity);
  });
  // A presentation during the fade stops the animation, so a finished fade
  // always belongs to the tip on screen.
  connect(&fade_, &QVariantAnimation::finished, this, [this] {
    if (panel_) panel_->orderOut();
  });
}

void TipOverlayWindowController::show(const QString& message) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  QMetaObject::invokeMethod(app, [message] { shared().present(message); }, Qt::QueuedConnection);
}

void TipOverlayWindowController::makePanel() {
  panel_ = new OverlayPanel({QSize(TipOverlayView::kWidth, TipOverlayView::kHeight)});
  panel_->setContentView(new TipOverlayView(QString()));
}

void TipOverlayWindowController::present(const QString& message) {
  if (!panel_) makePanel();
  fade_.stop();
  panel_->setDissolve(0);
  auto* view = new TipOverlayView(message);
  connect(view, &TipOverlayView::closeRequested, this, &TipOverlayWindowController::dismiss);
  panel_->setContentSize(QSize(TipOverlayView::kWidth, TipOverlayView::kHeight));
  panel_->setContentView(view);
  panel_->place(kPlacement);
  panel_->setWindowOpacity(1.0);
  panel_->orderFrontRegardless();
  dismissTimer_.start(Clock::scaledMs(kDismissMs));
}

void TipOverlayWindowController::dismiss() {
  dismissTimer_.stop();
  if (!panel_ || fade_.state() == QAbstractAnimation::Running) return;
  fade_.setDuration(std::max(1, Clock::scaledMs(kFadeMs)));
  fade_.start();
}
