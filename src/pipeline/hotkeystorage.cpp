#include "pipeline/hotkeystorage.h"

#include "core/userdefaults.h"
#include "platform/virtualkeycodes.h"
#include "service/authstore.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace HotKeyStorage {
namespace {

const QString kConfigsKeyPrefix = QStringLiteral("hotkey_configs_");
const QString kCustomizedKeyPrefix = QStringLiteral("hotkey_customized_");
constexpr qint64 kMigratedDefaultsVersion = 2;

std::optional<qint64> integerMember(const QJsonObject& object, const QString& name) {
  const QJsonValue value = object.value(name);
  if (!value.isDouble()) return std::nullopt;
  const double number = value.toDouble();
  if (std::trunc(number) != number) return std::nullopt;
  return static_cast<qint64>(number);
}

// The whole document decodes or nothing does: one member lacking a field, or
// with a field of the wrong type, makes all three hotkeys fall back.
std::optional<HotKeyConfigMap> decode(const QByteArray& data) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(data, &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
  HotKeyConfigMap configs;
  const QJsonObject root = document.object();
  for (auto member = root.begin(); member != root.end(); ++member) {
    if (!member.value().isObject()) return std::nullopt;
    const QJsonObject object = member.value().toObject();
    const std::optional<qint64> modifiers = integerMember(object, QStringLiteral("modifiers"));
    const std::optional<qint64> keyCode = integerMember(object, QStringLiteral("keyCode"));
    const QJsonValue requiresFn = object.value(QStringLiteral("requiresFn"));
    if (!modifiers || !keyCode || !requiresFn.isBool()) return std::nullopt;
    const std::optional<HotKeyCombo> combo = hotKeyComboFromRawValue(member.key());
    // A negative mask is no set of modifiers; that hotkey takes its default.
    if (!combo || *modifiers < 0) continue;
    configs.insert(*combo, HotKeyConfig{*modifiers, *keyCode, requiresFn.toBool()});
  }
  return configs;
}

QByteArray encode(const HotKeyConfigMap& configs) {
  QJsonObject root;
  for (auto entry = configs.begin(); entry != configs.end(); ++entry) {
    root.insert(rawValue(entry.key()), QJsonObject{
                                           {QStringLiteral("modifiers"), entry->modifiers},
                                           {QStringLiteral("keyCode"), entry->keyCode},
                                           {QStringLiteral("requiresFn"), entry->requiresFn},
                                       });
  }
  return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

}  // namespace

QString accountHash(const std::optional<QString>& email) {
  const QByteArray identity = email.value_or(QStringLiteral("anonymous")).toLower().toUtf8();
  quint64 hash = 0xcbf29ce484222325ULL;
  for (const char byte : identity) {
    hash ^= static_cast<quint8>(byte);
    hash *= 0x100000001b3ULL;
  }
  return QStringLiteral("%1").arg(hash, 16, 16, QLatin1Char('0'));
}

QString configsKey() { return kConfigsKeyPrefix + accountHash(AuthStore::shared().email()); }

QString customizedKey() { return kCustomizedKeyPrefix + configsKey(); }

HotKeyConfig defaultConfig(HotKeyCombo combo) {
  switch (combo) {
    case HotKeyCombo::transcribe:
      return {VirtualKeyCodes::kOptionFlag, 12, false};  // Alt+Q
    case HotKeyCombo::rewrite:
      return {VirtualKeyCodes::kOptionFlag, 14, false};  // Alt+E
    case HotKeyCombo::agent:
      return {VirtualKeyCodes::kOptionFlag, 13, false};  // Alt+W
  }
  return {};
}

HotKeyConfigMap load() {
  UserDefaults& defaults = UserDefaults::shared();
  const qint64 version = defaults.integer(kDefaultsVersionKey).value_or(0);

  HotKeyConfigMap configs;
  if (const std::optional<QByteArray> data = defaults.bytes(configsKey())) {
    configs = decode(*data).value_or(HotKeyConfigMap{});
  }

  // Earlier versions stored the defaults of their time as if chosen: keep
  // only what the user set by hand, once, so everyone else gets today's.
  if (version < kMigratedDefaultsVersion) {
    const QSet<HotKeyCombo> customized = customizedCombos();
    for (HotKeyCombo combo : allHotKeyCombos()) {
      if (!customized.contains(combo)) configs.remove(combo);
    }
    defaults.setInteger(kDefaultsVersionKey, kMigratedDefaultsVersion);
  }

  for (HotKeyCombo combo : allHotKeyCombos()) {
    if (!configs.contains(combo)) configs.insert(combo, defaultConfig(combo));
  }
  return configs;
}

void save(const HotKeyConfigMap& configs) { UserDefaults::shared().setBytes(configsKey(), encode(configs)); }

QSet<HotKeyCombo> customizedCombos() {
  QSet<HotKeyCombo> combos;
  for (const QString& raw : UserDefaults::shared().stringList(customizedKey()).value_or(QStringList{})) {
    if (const std::optional<HotKeyCombo> combo = hotKeyComboFromRawValue(raw)) combos.insert(*combo);
  }
  return combos;
}

void markCustomized(HotKeyCombo combo) {
  QSet<HotKeyCombo> combos = customizedCombos();
  combos.insert(combo);
  QStringList raws;
  for (HotKeyCombo each : allHotKeyCombos()) {
    if (combos.contains(each)) raws << rawValue(each);
  }
  UserDefaults::shared().setStringList(customizedKey(), raws);
}

}  // namespace HotKeyStorage
