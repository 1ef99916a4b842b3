#pragma once

#include "pipeline/configstore.h"
#include "pipeline/hotkeycombo.h"
#include "pipeline/hotkeyconfig.h"
#include "pipeline/hotkeymatcher.h"
#include "platform/keyboardtap.h"

#include <QObject>
#include <QSet>

#include <functional>

// The three global hotkeys of the signed-in account and the listener that
// catches them in every application. One per process, main thread only.
//
// The views edit `configs` (setConfig, removeConfig); saveConfigs() and
// loadConfigs() hand the result to the listener at once, through the
// snapshot it matches against and the key grabs that follow it. A press is
// delivered to the handler on a later turn of the event loop, never from
// inside the key event.
class HotKeyManager : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool isListening READ isListening NOTIFY isListeningChanged)
  Q_PROPERTY(HotKeyConfigMap configs READ configs NOTIFY configsChanged)

 public:
  using Handler = std::function<void(HotKeyCombo)>;

  static HotKeyManager& shared();

  // Configurations.
  const HotKeyConfigMap& configs() const { return configs_; }
  // Edits that reach the listener only with the next save, load or start.
  void setConfig(HotKeyCombo combo, const HotKeyConfig& config);
  void removeConfig(HotKeyCombo combo);
  // Rebuilds `configs` for the account signed in now (the account store
  // calls this at sign-in and sign-out). Leaves the listener running.
  void loadConfigs();
  // Stores `configs` for the account signed in now and hands them to the
  // listener.
  void saveConfigs();
  void markCustomized(HotKeyCombo combo);
  QSet<HotKeyCombo> customizedCombos() const;
  QString hotKeyConfigsKey() const;
  void syncConfigSnapshot();

  // Listener. start() replaces any running listener: it stores the handler
  // and installs the keyboard tap; isListening tells whether the desktop
  // accepted it (a combination taken by another application refuses it).
  void start(Handler onHotKeyPressed);
  // Removes the tap; the handler stays stored. Harmless when not listening.
  // The account store calls this at sign-out.
  void stop();
  bool isListening() const { return isListening_; }

  // One event from the keyboard tap; true when the listener swallows it.
  bool handleTapEvent(const KeyTapEvent& event);

 Q_SIGNALS:
  void isListeningChanged();
  void configsChanged();

 private:
  HotKeyManager();
  bool installEventTap();
  QList<KeyGrab> grabs() const;
  void deliver(HotKeyCombo combo);
  void setListening(bool listening);

  HotKeyConfigMap configs_;
  bool isListening_ = false;
  Handler onHotKeyPressed_;
  ConfigStore configStore_;
  HotKeyMatcher matcher_{configStore_};
};
