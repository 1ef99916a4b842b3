#include "core/overlaypresenter.h"

#include "core/installed.h"

namespace {

class NoOverlays final : public OverlayPresenter {
 public:
  void showRecordingOverlay() override {}
  void hideRecordingOverlay() override {}
  void showResult(const QString&, bool, bool) override {}
  void showClarify(const QString&) override {}
  void showTip(const QString&) override {}
};

using InstalledOverlays = Installed<OverlayPresenter, NoOverlays>;

}  // namespace

OverlayPresenter& OverlayPresenter::current() { return InstalledOverlays::current(); }

void OverlayPresenter::install(OverlayPresenter* presenter) { InstalledOverlays::install(presenter); }
