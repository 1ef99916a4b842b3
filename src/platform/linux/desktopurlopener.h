#pragma once

#include "platform/urlopener.h"

// Opens addresses through the desktop's own handlers (xdg-open or the
// desktop portal, as Qt finds them).
class DesktopUrlOpener final : public UrlOpener {
 public:
  bool open(const QUrl& url) override;
};
