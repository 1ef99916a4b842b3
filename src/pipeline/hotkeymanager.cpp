#include "pipeline/hotkeymanager.h"

#include "core/logging.h"
#include "core/overlaypresenter.h"
#include "core/tracelog.h"
#include "localization/appstrings.h"
#include "pipeline/hotkeystorage.h"
#include "platform/accessibilitytrust.h"
#include "platform/virtualkeycodes.h"

#include <exception>

namespace {

// What the keyboard tap grabs for a configuration: nothing for one that no
// key down can match (a lone modifier or Fn, the modifier key itself as the
// key, an invalid value), which is observed or never fires.
std::optional<KeyGrab> grabFor(const HotKeyConfig& config) {
  if (config.keyCode < 0 || config.keyCode > 0xFFFF || config.modifiers < 0) return std::nullopt;
  // A modifier key only ever changes the flags, so no key down can match
  // it: grabbing it would take the key from every application for nothing.
  if (VirtualKeyCodes::modifierFlag(static_cast<quint16>(config.keyCode))) return std::nullopt;
  return KeyGrab{static_cast<quint16>(config.keyCode),
                 VirtualKeyCodes::normalizedModifiers(static_cast<quint64>(config.modifiers)), config.requiresFn};
}

}  // namespace

HotKeyManager& HotKeyManager::shared() {
  static HotKeyManager* instance = new HotKeyManager();
  return *instance;
}

HotKeyManager::HotKeyManager() { loadConfigs(); }

void HotKeyManager::setConfig(HotKeyCombo combo, const HotKeyConfig& config) {
  configs_.insert(combo, config);
  Q_EMIT configsChanged();
}

void HotKeyManager::removeConfig(HotKeyCombo combo) {
  configs_.remove(combo);
  Q_EMIT configsChanged();
}

void HotKeyManager::loadConfigs() {
  configs_ = HotKeyStorage::load();
  Q_EMIT configsChanged();
  syncConfigSnapshot();
}

void HotKeyManager::saveConfigs() {
  HotKeyStorage::save(configs_);
  // A saved hotkey tells again about every combination still refused.
  toldRefusals_.clear();
  syncConfigSnapshot();
}

void HotKeyManager::markCustomized(HotKeyCombo combo) { HotKeyStorage::markCustomized(combo); }

QSet<HotKeyCombo> HotKeyManager::customizedCombos() const { return HotKeyStorage::customizedCombos(); }

QString HotKeyManager::hotKeyConfigsKey() const { return HotKeyStorage::configsKey(); }

void HotKeyManager::syncConfigSnapshot() {
  configStore_.replace(configs_);
  if (!tapRunning_) return;
  // The grabs follow the snapshot, so a saved hotkey works (and the old one
  // is given back to the applications) at once.
  KeyboardTap::current().setGrabs(grabs());
  noteRefusals();
}

void HotKeyManager::start(Handler onHotKeyPressed) {
  stop();
  onHotKeyPressed_ = std::move(onHotKeyPressed);
  syncConfigSnapshot();
  if (!AccessibilityTrust::current().isTrusted()) {
    qCCritical(lcHotKey, "Accessibility not trusted; defaultTap may fail");
    trace(QStringLiteral("HotKey: AX not trusted, trying defaultTap only"));
  }
  tapRunning_ = installEventTap();
  if (tapRunning_) {
    qCInfo(lcHotKey, "CGEventTap (defaultTap) installed — hotkeys will be intercepted");
    trace(QStringLiteral("HotKey: defaultTap installed OK"));
  } else {
    qCCritical(lcHotKey, "CGEventTap installation failed");
    trace(QStringLiteral("HotKey: defaultTap install failed"));
  }
  noteRefusals();
}

void HotKeyManager::stop() {
  KeyboardTap::current().stop();
  matcher_.reset();
  tapRunning_ = false;
  if (!refusedCombos_.isEmpty()) {
    refusedCombos_.clear();
    Q_EMIT refusedCombosChanged();
  }
  setListening(false);
}

// After every grab: which combinations another application holds.
void HotKeyManager::noteRefusals() {
  const HotKeyConfigMap snapshot = configStore_.copy();
  QList<HotKeyCombo> refused;
  QStringList keys;
  if (tapRunning_) {
    const QList<KeyGrab> held = KeyboardTap::current().refusedGrabs();
    for (HotKeyCombo combo : allHotKeyCombos()) {
      if (!snapshot.contains(combo)) continue;
      const std::optional<KeyGrab> grab = grabFor(snapshot.value(combo));
      if (!grab || !held.contains(*grab)) continue;
      const QString shown = snapshot.value(combo).displayString();
      qCCritical(lcHotKey, "Hotkey grab refused, another application holds it: combo=%s, keys=%s",
                 qUtf8Printable(rawValue(combo)), qUtf8Printable(shown));
      trace(QStringLiteral("HotKey: grab refused combo=%1, keys=%2").arg(rawValue(combo), shown));
      refused.append(combo);
      if (!keys.contains(shown)) keys.append(shown);
    }
  }
  if (refused != refusedCombos_) {
    refusedCombos_ = refused;
    Q_EMIT refusedCombosChanged();
  }
  // One live combination is enough; a set with nothing to grab (every
  // hotkey cleared) is not a failure either.
  setListening(tapRunning_ && (snapshot.isEmpty() || refused.size() < snapshot.size()));
  if (!refused.isEmpty() && refused != toldRefusals_) {
    OverlayPresenter::current().showTip(currentStrings().hotkeyHeldElsewhereTip.arg(keys.join(QStringLiteral(", "))));
  }
  if (tapRunning_) toldRefusals_ = refused;
}

bool HotKeyManager::installEventTap() {
  // A remapped keyboard makes the tap grab everything again: a combination
  // another application holds under the new modifiers is told like any other.
  KeyboardTap::current().setRegrabHandler([this] {
    qCInfo(lcHotKey, "Keyboard modifiers remapped; hotkeys grabbed again");
    trace(QStringLiteral("HotKey: keyboard remapped, grabs renewed"));
    noteRefusals();
  });
  return KeyboardTap::current().start([this](const KeyTapEvent& event) { return handleTapEvent(event); }, grabs());
}

QList<KeyGrab> HotKeyManager::grabs() const {
  QList<KeyGrab> result;
  const HotKeyConfigMap snapshot = configStore_.copy();
  for (const HotKeyConfig& config : snapshot) {
    const std::optional<KeyGrab> grab = grabFor(config);
    if (grab && !result.contains(*grab)) result.append(*grab);
  }
  return result;
}

bool HotKeyManager::handleTapEvent(const KeyTapEvent& event) {
  // The copy and paste keys this program types start nothing, not even as a
  // modifier let go alone (a paste releases the modifiers the user holds).
  if (event.synthetic) return false;
  switch (event.type) {
    case KeyTapEvent::Type::keyDown: {
      matcher_.noteKeyDown();
      // An observed key already reached the front application; only a key
      // routed to us can be a key hotkey.
      if (!event.intercepted) return false;
      const std::optional<HotKeyCombo> combo = matcher_.matchKeyDown(event.keyCode, event.flags);
      if (!combo) return false;
      // A held hotkey repeats: swallow the repeats, but one press is one
      // start (or stop) of a recording.
      if (event.autoRepeat) return true;
      trace(QStringLiteral("HotKey INTERCEPT keyDown: combo=%1, keyCode=%2").arg(rawValue(*combo)).arg(event.keyCode));
      deliver(*combo);
      return true;
    }
    case KeyTapEvent::Type::keyUp:
      if (!event.intercepted || !matcher_.matchKeyUp(event.keyCode, event.flags)) return false;
      trace(QStringLiteral("HotKey INTERCEPT keyUp: keyCode=%1").arg(event.keyCode));
      return true;
    case KeyTapEvent::Type::flagsChanged: {
      const HotKeyMatcher::Result result = matcher_.handleFlagsChanged(event.keyCode, event.flags);
      if (result.combo) {
        trace(QStringLiteral("HotKey INTERCEPT flagsChanged: combo=%1, keyCode=%2")
                  .arg(rawValue(*result.combo))
                  .arg(event.keyCode));
        deliver(*result.combo);
      }
      return result.swallow;
    }
  }
  return false;
}

void HotKeyManager::deliver(HotKeyCombo combo) {
  // The handler is read when the delivery runs, so a handler replaced in the
  // meantime gets the press.
  QMetaObject::invokeMethod(
      this,
      [this, combo] {
        if (!onHotKeyPressed_) return;
        try {
          onHotKeyPressed_(combo);
        } catch (const std::exception& error) {
          qCCritical(lcHotKey, "Hotkey handler failed: %s", error.what());
        } catch (...) {
          qCCritical(lcHotKey, "Hotkey handler failed");
        }
      },
      Qt::QueuedConnection);
}

void HotKeyManager::setListening(bool listening) {
  if (isListening_ == listening) return;
  isListening_ = listening;
  Q_EMIT isListeningChanged();
}
