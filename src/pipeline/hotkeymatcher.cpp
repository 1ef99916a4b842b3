#include "pipeline/hotkeymatcher.h"

#include "platform/virtualkeycodes.h"

using namespace VirtualKeyCodes;

namespace {

std::optional<HotKeyCombo> findKeyHotKey(const HotKeyConfigMap& configs, quint16 keyCode, quint64 flags) {
  const quint64 modifiers = normalizedModifiers(flags);
  const bool fn = (flags & kFnFlag) != 0;
  for (auto entry = configs.begin(); entry != configs.end(); ++entry) {
    if (entry->keyCode >= 0 && entry->keyCode == keyCode && entry->requiresFn == fn &&
        (static_cast<quint64>(entry->modifiers) & kModifierMask) == modifiers) {
      return entry.key();
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<HotKeyCombo> HotKeyMatcher::matchKeyDown(quint16 keyCode, quint64 flags) const {
  return findKeyHotKey(store_.copy(), keyCode, flags);
}

bool HotKeyMatcher::matchKeyUp(quint16 keyCode, quint64 flags) const {
  return findKeyHotKey(store_.copy(), keyCode, flags).has_value();
}

HotKeyMatcher::Result HotKeyMatcher::handleFlagsChanged(quint16 keyCode, quint64 flags) {
  if (keyCode == kFunctionKey) return handleFnKey(flags);
  const std::optional<quint64> flag = modifierFlag(keyCode);
  if (!flag) return {};
  if (normalizedModifiers(flags) & *flag) {
    // Pressed, or the other key of the same modifier went up while one is
    // still held: neither is a release.
    notePress(*flag);
    return {};
  }
  return noteRelease(*flag, static_cast<qint64>(*flag), false);
}

HotKeyMatcher::Result HotKeyMatcher::handleFnKey(quint64 flags) {
  if (flags & kFnFlag) {
    notePress(kFnFlag);
    return {};
  }
  return noteRelease(kFnFlag, 0, true);
}

void HotKeyMatcher::noteKeyDown() {
  if (hold_) hold_->clean = false;
}

void HotKeyMatcher::reset() { hold_.reset(); }

void HotKeyMatcher::notePress(quint64 flag) {
  // Another modifier going down ends the hold of the one before it.
  if (!hold_ || hold_->flag != flag) hold_ = LoneKeyHold{flag, true};
}

HotKeyMatcher::Result HotKeyMatcher::noteRelease(quint64 flag, qint64 loneModifiers, bool loneRequiresFn) {
  const bool cleanRelease = hold_ && hold_->flag == flag && hold_->clean;
  if (hold_ && hold_->flag == flag) hold_.reset();
  if (!cleanRelease) return {};
  const HotKeyConfigMap configs = store_.copy();
  for (auto entry = configs.begin(); entry != configs.end(); ++entry) {
    if (entry->keyCode != -1 || entry->requiresFn != loneRequiresFn) continue;
    // A lone modifier compares its four bits; lone Fn wants the whole value 0.
    const qint64 modifiers = loneRequiresFn ? entry->modifiers : entry->modifiers & static_cast<qint64>(kModifierMask);
    if (modifiers == loneModifiers) return {entry.key(), true};
  }
  return {};
}
