#include "pipeline/hotkeymanager.h"

#include "core/logging.h"
#include "diagnostics/tracelog.h"
#include "platform/accessibilitytrust.h"

HotKeyManager& HotKeyManager::shared() {
  static HotKeyManager* instance = new HotKeyManager();
  return *instance;
}

void HotKeyManager::start(Handler onHotKeyPressed) {
  stop();
  onHotKeyPressed_ = std::move(onHotKeyPressed);
  if (!AccessibilityTrust::current().isTrusted()) {
    qCCritical(lcHotKey, "Accessibility not trusted; defaultTap may fail");
    trace(QStringLiteral("HotKey: AX not trusted, trying defaultTap only"));
  }
  setListening(installEventTap());
  if (isListening_) {
    qCInfo(lcHotKey, "CGEventTap (defaultTap) installed — hotkeys will be intercepted");
    trace(QStringLiteral("HotKey: defaultTap installed OK"));
  } else {
    qCCritical(lcHotKey, "CGEventTap installation failed");
    trace(QStringLiteral("HotKey: defaultTap install failed"));
  }
}

void HotKeyManager::stop() {
  KeyboardTap::current().stop();
  setListening(false);
}

bool HotKeyManager::installEventTap() {
  return KeyboardTap::current().start([this](const KeyTapEvent& event) { return handleTapEvent(event); }, {});
}

bool HotKeyManager::handleTapEvent(const KeyTapEvent&) { return false; }

void HotKeyManager::setListening(bool listening) {
  if (isListening_ == listening) return;
  isListening_ = listening;
  Q_EMIT isListeningChanged();
}
