#include "mainwindow/keycapturerecognizer.h"

#include "platform/virtualkeycodes.h"

using namespace VirtualKeyCodes;

std::optional<KeyCaptureReport> KeyCaptureRecognizer::handle(const KeyTapEvent& event) {
  switch (event.type) {
    case KeyTapEvent::Type::keyDown:
      return handleKeyDown(event);
    case KeyTapEvent::Type::flagsChanged:
      return handleFlagsChanged(event);
    case KeyTapEvent::Type::keyUp:
      break;
  }
  return std::nullopt;
}

std::optional<KeyCaptureReport> KeyCaptureRecognizer::handleKeyDown(const KeyTapEvent& event) {
  // X reports Caps Lock as an ordinary key; it is a lock, never part of a
  // hotkey, and does not end a lone-modifier hold either.
  if (event.keyCode == kCapsLockKey) return std::nullopt;
  // A key went down: whatever modifier is held now was used with it.
  modifierKeyDown_.reset();
  if (event.keyCode == kEscapeKey) return KeyCaptureReport{KeyCaptureReport::Kind::escape, -1, 0, false};
  const bool requiresFn = fnDown_ || (event.flags & kFnFlag);
  return KeyCaptureReport{KeyCaptureReport::Kind::key, event.keyCode, normalizedModifiers(event.flags), requiresFn};
}

std::optional<KeyCaptureReport> KeyCaptureRecognizer::handleFlagsChanged(const KeyTapEvent& event) {
  if (event.keyCode == kFunctionKey) {
    if (event.flags & kFnFlag) {
      if (!fnDown_) {
        fnDown_ = true;
        modifierKeyDown_ = kFunctionKey;
      }
      return std::nullopt;
    }
    if (!fnDown_) return std::nullopt;
    fnDown_ = false;
    if (modifierKeyDown_ != kFunctionKey) return std::nullopt;
    modifierKeyDown_.reset();
    return KeyCaptureReport{KeyCaptureReport::Kind::key, -1, 0, true};
  }

  if (!modifierKeyCodes().contains(event.keyCode)) return std::nullopt;
  const std::optional<quint64> flag = modifierFlag(event.keyCode);
  if (!flag) return std::nullopt;
  // Still set after the event: this key went down (or the other key of the
  // same modifier is still held, which counts the same).
  if (event.flags & *flag) {
    modifierKeyDown_ = event.keyCode;
    return std::nullopt;
  }
  if (modifierKeyDown_ != event.keyCode) return std::nullopt;
  modifierKeyDown_.reset();
  return KeyCaptureReport{KeyCaptureReport::Kind::key, -1, *flag, false};
}

void KeyCaptureRecognizer::reset() {
  fnDown_ = false;
  modifierKeyDown_.reset();
}
