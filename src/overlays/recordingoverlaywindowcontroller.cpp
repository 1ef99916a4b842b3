#include "overlays/recordingoverlaywindowcontroller.h"

#include "core/logging.h"
#include "core/tracelog.h"
#include "overlays/overlaypanel.h"
#include "overlays/recordingoverlayview.h"
#include "pipeline/audiorecorder.h"

#include <QGuiApplication>

namespace {

const char* boolText(bool value) { return value ? "true" : "false"; }

// The bar's bottom edge stands at 12 % of the screen's height.
constexpr PanelPlacement kPlacement{0.12, 0};

}  // namespace

RecordingOverlayWindowController& RecordingOverlayWindowController::shared() {
  // Never destroyed: the panel must outlive every caller, up to the process end.
  static auto* instance = new RecordingOverlayWindowController(AudioRecorder::shared());
  return *instance;
}

RecordingOverlayWindowController::RecordingOverlayWindowController(AudioRecorder& recorder, QObject* parent)
    : QObject(parent), recorder_(recorder) {}

RecordingOverlayWindowController::~RecordingOverlayWindowController() { delete panel_; }

void RecordingOverlayWindowController::makePanel() {
  panel_ = new OverlayPanel({QSize(RecordingOverlayView::kWidth, RecordingOverlayView::kHeight)});
  view_ = new RecordingOverlayView(recorder_);
  panel_->setContentView(view_);
  const bool ignoresMouse = panel_->settings().ignoresMouse;
  qCInfo(lcRecordingOverlay, "create overlay panel: level=%ld, canBecomeKey=%s, ignoresMouse=%s", 3L, boolText(false),
         boolText(ignoresMouse));
  trace(QStringLiteral("Overlay create panel: level=3, canBecomeKey=false, ignoresMouse=") + boolText(ignoresMouse));
}

void RecordingOverlayWindowController::show() {
  if (!panel_) makePanel();
  panel_->place(kPlacement);
  const bool appActive = QGuiApplication::applicationState() == Qt::ApplicationActive;
  const bool panelExists = panel_ != nullptr;
  qCInfo(lcRecordingOverlay, "show overlay: appActive=%s, panelExists=%s", boolText(appActive), boolText(panelExists));
  trace(QStringLiteral("Overlay show: appActive=%1, panelExists=%2").arg(boolText(appActive), boolText(panelExists)));
  panel_->orderFrontRegardless();
  qCInfo(lcRecordingOverlay, "overlay ordered front regardless");
  trace(QStringLiteral("Overlay ordered front regardless"));
}

void RecordingOverlayWindowController::hide() {
  qCInfo(lcRecordingOverlay, "hide overlay");
  trace(QStringLiteral("Overlay hide"));
  if (panel_) panel_->orderOut();
}
