#include "overlays/paneloverlaypresenter.h"

#include "overlays/clarifyoverlaywindowcontroller.h"
#include "overlays/recordingoverlaywindowcontroller.h"
#include "overlays/resultoverlaywindowcontroller.h"
#include "overlays/tipoverlaywindowcontroller.h"

void PanelOverlayPresenter::showRecordingOverlay() { RecordingOverlayWindowController::shared().show(); }

void PanelOverlayPresenter::hideRecordingOverlay() { RecordingOverlayWindowController::shared().hide(); }

void PanelOverlayPresenter::showResult(const QString& text, bool isMarkdown, bool pinned) {
  ResultOverlayWindowController::shared().show(text, isMarkdown, pinned);
}

void PanelOverlayPresenter::showClarify(const QString& question) {
  ClarifyOverlayWindowController::shared().show(question);
}

void PanelOverlayPresenter::showTip(const QString& message) { TipOverlayWindowController::show(message); }
