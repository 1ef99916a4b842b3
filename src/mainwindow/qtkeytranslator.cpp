#include "mainwindow/qtkeytranslator.h"

#include "platform/virtualkeycodes.h"

#include <QKeyEvent>

using namespace VirtualKeyCodes;

namespace {

constexpr quint32 kEvdevOffset = 8;  // X keycode (and xkb keycode) = evdev code + 8

std::optional<quint16> keyCodeOfQtKey(int key) {
  switch (key) {
    case Qt::Key_Escape:
      return 53;
    case Qt::Key_Shift:
      return 56;
    case Qt::Key_Control:
      return 59;
    case Qt::Key_Alt:
      return 58;
    case Qt::Key_AltGr:
      return 61;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
      return 55;
    case Qt::Key_Super_R:
      return 54;
    case Qt::Key_CapsLock:
      return 57;
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<quint16> QtKeyTranslator::keyCode(const QKeyEvent& event) {
  const quint32 scanCode = event.nativeScanCode();
  if (scanCode > kEvdevOffset) return fromEvdev(static_cast<int>(scanCode - kEvdevOffset));
  return keyCodeOfQtKey(event.key());
}

quint64 QtKeyTranslator::flagsOf(Qt::KeyboardModifiers modifiers) {
  quint64 flags = 0;
  if (modifiers & Qt::ShiftModifier) flags |= kShiftFlag;
  if (modifiers & Qt::ControlModifier) flags |= kControlFlag;
  if (modifiers & Qt::AltModifier) flags |= kOptionFlag;
  if (modifiers & Qt::MetaModifier) flags |= kCommandFlag;
  return flags;
}

std::optional<KeyTapEvent> QtKeyTranslator::translate(const QKeyEvent& event) {
  const bool press = event.type() == QEvent::KeyPress;
  if (!press && event.type() != QEvent::KeyRelease) return std::nullopt;
  if (!press && event.isAutoRepeat()) return std::nullopt;
  const std::optional<quint16> key = keyCode(event);
  if (!key) return std::nullopt;

  KeyTapEvent out;
  out.keyCode = *key;
  out.timestampMs = event.timestamp();
  if (modifierFlag(*key)) {
    if (press) {
      heldModifiers_.insert(*key);
    } else {
      heldModifiers_.remove(*key);
    }
    out.type = KeyTapEvent::Type::flagsChanged;
    out.flags = heldFlags();
    return out;
  }
  out.type = press ? KeyTapEvent::Type::keyDown : KeyTapEvent::Type::keyUp;
  out.autoRepeat = press && event.isAutoRepeat();
  out.flags = flagsOf(event.modifiers());
  return out;
}

quint64 QtKeyTranslator::heldFlags() const {
  quint64 flags = 0;
  for (quint16 key : heldModifiers_) flags |= modifierFlag(key).value_or(0);
  return flags;
}
