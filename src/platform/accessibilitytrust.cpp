#include "platform/accessibilitytrust.h"

#include "core/installed.h"

namespace {

class NobodyTrusted final : public AccessibilityTrust {
 public:
  bool isTrusted() override { return false; }
  QString missingReason() override { return QStringLiteral("no desktop connection is set up"); }
};

using InstalledTrust = Installed<AccessibilityTrust, NobodyTrusted>;

}  // namespace

AccessibilityTrust& AccessibilityTrust::current() { return InstalledTrust::current(); }

void AccessibilityTrust::install(AccessibilityTrust* trust) { InstalledTrust::install(trust); }
