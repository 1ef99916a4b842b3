#pragma once

struct _AtspiAccessible;

// A reference of our own on an object libatspi handed out, released with the
// holder. Holding one keeps the object usable across calls that may handle
// events meanwhile (an event may drop the reference someone else held).
class AtspiReference {
 public:
  AtspiReference() = default;
  // Takes over a reference the caller was given (by a libatspi call).
  static AtspiReference adopt(_AtspiAccessible* accessible);
  // Takes a reference of its own.
  static AtspiReference share(_AtspiAccessible* accessible);
  ~AtspiReference();
  AtspiReference(AtspiReference&& other) noexcept;
  AtspiReference& operator=(AtspiReference&& other) noexcept;
  AtspiReference(const AtspiReference&) = delete;
  AtspiReference& operator=(const AtspiReference&) = delete;

  _AtspiAccessible* get() const { return accessible_; }
  explicit operator bool() const { return accessible_ != nullptr; }

 private:
  explicit AtspiReference(_AtspiAccessible* accessible) : accessible_(accessible) {}
  _AtspiAccessible* accessible_ = nullptr;
};
