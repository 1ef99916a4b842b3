#pragma once

#include "pipeline/hotkeyconfig.h"

#include <QSet>
#include <QString>

#include <optional>

// Where the hotkeys of each account live in the settings store, the built-in
// defaults and their one-time migration. Every call works for the account
// signed in at that moment (its e-mail, or "anonymous" without one).
namespace HotKeyStorage {

// The 16 lower-case hex digits of the 64-bit FNV-1a hash of the lower-cased
// e-mail (or of "anonymous").
QString accountHash(const std::optional<QString>& email);

// "hotkey_configs_<hash>" and "hotkey_customized_hotkey_configs_<hash>".
QString configsKey();
QString customizedKey();
inline const QString kDefaultsVersionKey = QStringLiteral("hotkey_defaults_version");

HotKeyConfig defaultConfig(HotKeyCombo combo);

// The stored hotkeys; after the one-time migration of the defaults, every
// combo without an entry gets its default. Unreadable data gives the three
// defaults and is left as it is on disk.
HotKeyConfigMap load();
// Writes all of `configs` as compact JSON.
void save(const HotKeyConfigMap& configs);

QSet<HotKeyCombo> customizedCombos();
void markCustomized(HotKeyCombo combo);

}  // namespace HotKeyStorage
