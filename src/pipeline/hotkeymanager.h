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
//
// Each combination is grabbed on its own. One that another application
// already holds is refused: it is logged and traced, listed in
// refusedCombos() (the settings page marks its row) and told in a tip, and
// the other hotkeys work. The listener counts as listening while at least
// one combination is live.
class HotKeyManager : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool isListening READ isListening NOTIFY isListeningChanged)
  Q_PROPERTY(QList<HotKeyCombo> refusedCombos READ refusedCombos NOTIFY refusedCombosChanged)
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
  // accepted it and at least one combination is live (not every one is held
  // by another application).
  void start(Handler onHotKeyPressed);
  // Removes the tap; the handler stays stored. Harmless when not listening.
  // The account store calls this at sign-out.
  void stop();
  bool isListening() const { return isListening_; }
  // The operations whose combination another application holds, in the
  // order of allHotKeyCombos(); empty while the listener is stopped.
  const QList<HotKeyCombo>& refusedCombos() const { return refusedCombos_; }

  // One event from the keyboard tap; true when the listener swallows it.
  bool handleTapEvent(const KeyTapEvent& event);

 Q_SIGNALS:
  void isListeningChanged();
  void configsChanged();
  void refusedCombosChanged();

 private:
  HotKeyManager();
  bool installEventTap();
  QList<KeyGrab> grabs() const;
  void deliver(HotKeyCombo combo);
  void noteRefusals();
  void setListening(bool listening);

  HotKeyConfigMap configs_;
  bool isListening_ = false;
  bool tapRunning_ = false;
  QList<HotKeyCombo> refusedCombos_;
  // The refusals last told in a tip: the same ones are not told again at
  // every start, only after a save or when they change.
  QList<HotKeyCombo> toldRefusals_;
  Handler onHotKeyPressed_;
  ConfigStore configStore_;
  HotKeyMatcher matcher_{configStore_};
};
