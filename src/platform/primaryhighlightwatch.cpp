#include "platform/primaryhighlightwatch.h"

#include "core/installed.h"

namespace {

class AlwaysShown final : public PrimaryHighlightWatch {
 public:
  bool isShown(const RunningApplication&) override { return true; }
  int keysSinceTaken(const RunningApplication&) override { return 0; }
};

using InstalledWatch = Installed<PrimaryHighlightWatch, AlwaysShown>;

}  // namespace

PrimaryHighlightWatch& PrimaryHighlightWatch::current() { return InstalledWatch::current(); }

void PrimaryHighlightWatch::install(PrimaryHighlightWatch* watch) { InstalledWatch::install(watch); }
