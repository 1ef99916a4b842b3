#include "platform/linux/atspireference.h"

#include <atspi/atspi.h>

#include <utility>

AtspiReference AtspiReference::adopt(_AtspiAccessible* accessible) { return AtspiReference(accessible); }

AtspiReference AtspiReference::share(_AtspiAccessible* accessible) {
  return AtspiReference(accessible ? static_cast<AtspiAccessible*>(g_object_ref(accessible)) : nullptr);
}

AtspiReference::~AtspiReference() {
  if (accessible_) g_object_unref(accessible_);
}

AtspiReference::AtspiReference(AtspiReference&& other) noexcept
    : accessible_(std::exchange(other.accessible_, nullptr)) {}

AtspiReference& AtspiReference::operator=(AtspiReference&& other) noexcept {
  if (this != &other) {
    if (accessible_) g_object_unref(accessible_);
    accessible_ = std::exchange(other.accessible_, nullptr);
  }
  return *this;
}
