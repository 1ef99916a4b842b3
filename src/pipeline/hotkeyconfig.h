#pragma once

#include "pipeline/hotkeycombo.h"

#include <QMap>
#include <QString>
#include <QtGlobal>

// One hotkey. Three forms occur: a key with modifiers (keyCode >= 0), a lone
// modifier key (keyCode -1, exactly one modifier bit) and the lone Fn key
// (keyCode -1, no modifiers, requiresFn). Key codes and modifier bits are the
// program's own (platform/virtualkeycodes.h); only the shift, control, option
// and command bits of `modifiers` count.
struct HotKeyConfig {
  qint64 modifiers = 0;
  qint64 keyCode = -1;
  bool requiresFn = false;

  friend bool operator==(const HotKeyConfig&, const HotKeyConfig&) = default;

  // How the hotkey is shown: "Fn", "Ctrl", "Alt", "Shift", "Super" for what is
  // set, in that order, then the key's name, joined with "+" ("Alt+Q",
  // "Fn+Shift+Super+Space"; a lone Alt is "Alt").
  QString displayString() const;

  // The name of a key: a letter, "Space" or "Return"; any other key is
  // "Key(<code>)".
  static QString keyName(qint64 keyCode);
};

using HotKeyConfigMap = QMap<HotKeyCombo, HotKeyConfig>;
