#include "overlays/clarifyoverlaywindowcontroller.h"
#include "overlays/overlaypanel.h"
#include "overlays/paneloverlaypresenter.h"
#include "overlays/recordingoverlaywindowcontroller.h"
#include "overlays/resultoverlaywindowcontroller.h"
#include "overlays/tipoverlayview.h"
#include "overlays/tipoverlaywindowcontroller.h"

#include "awaittask.h"

#include <gtest/gtest.h>

namespace {

bool visible(OverlayPanel* panel) { return panel && panel->isVisible(); }

TEST(PanelOverlayPresenter, TheLowerLayersReachEveryPanelThroughIt) {
  PanelOverlayPresenter presenter;
  OverlayPresenter::install(&presenter);
  OverlayPresenter& overlays = OverlayPresenter::current();

  overlays.showRecordingOverlay();
  EXPECT_TRUE(visible(RecordingOverlayWindowController::shared().panel()));
  overlays.hideRecordingOverlay();
  EXPECT_FALSE(visible(RecordingOverlayWindowController::shared().panel()));

  overlays.showResult(QStringLiteral("# answer"), true, false);
  EXPECT_TRUE(visible(ResultOverlayWindowController::shared().panel()));
  EXPECT_TRUE(ResultOverlayWindowController::shared().viewModel().isMarkdown());

  overlays.showClarify(QStringLiteral("which one?"));
  EXPECT_TRUE(visible(ClarifyOverlayWindowController::shared().panel()));

  // The tip comes at the next turn of the event loop.
  overlays.showTip(QStringLiteral("no credits"));
  EXPECT_FALSE(visible(TipOverlayWindowController::shared().panel()));
  ASSERT_TRUE(waitUntil([] { return visible(TipOverlayWindowController::shared().panel()); }));
  auto* tip = qobject_cast<TipOverlayView*>(TipOverlayWindowController::shared().panel()->contentView());
  EXPECT_EQ(tip->message(), QStringLiteral("no credits"));

  OverlayPresenter::install(nullptr);
}

}  // namespace
