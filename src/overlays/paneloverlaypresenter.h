#pragma once

#include "core/overlaypresenter.h"

// The floating panels as the request flow and the agent bridge reach them:
// each call goes to the panel's controller. The program installs one at
// start-up (OverlayPresenter::install).
class PanelOverlayPresenter final : public OverlayPresenter {
 public:
  void showRecordingOverlay() override;
  void hideRecordingOverlay() override;
  void showResult(const QString& text, bool isMarkdown, bool pinned) override;
  void showClarify(const QString& question) override;
  void showTip(const QString& message) override;
};
