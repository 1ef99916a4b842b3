#include "platform/urlopener.h"

#include "core/installed.h"

namespace {

class NoOpener final : public UrlOpener {
 public:
  bool open(const QUrl&) override { return false; }
};

using InstalledOpener = Installed<UrlOpener, NoOpener>;

}  // namespace

UrlOpener& UrlOpener::current() { return InstalledOpener::current(); }

void UrlOpener::install(UrlOpener* opener) { InstalledOpener::install(opener); }
