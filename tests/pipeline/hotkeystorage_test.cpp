#include "pipeline/hotkeystorage.h"

#include "core/userdefaults.h"
#include "pipeline/hotkeymanager.h"
#include "platform/virtualkeycodes.h"
#include "service/authstore.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

using namespace VirtualKeyCodes;

const HotKeyConfig kAltQ{kOptionFlag, 12, false};
const HotKeyConfig kAltE{kOptionFlag, 14, false};
const HotKeyConfig kAltW{kOptionFlag, 13, false};
const HotKeyConfig kCtrlR{kControlFlag, 15, false};
const HotKeyConfig kCtrlT{kControlFlag, 17, false};
const HotKeyConfig kSuperY{kCommandFlag, 16, false};
const HotKeyConfigMap kDefaults{
    {HotKeyCombo::transcribe, kAltQ}, {HotKeyCombo::rewrite, kAltE}, {HotKeyCombo::agent, kAltW}};

const char* kAllThreeStored =
    R"({"transcribe":{"modifiers":262144,"keyCode":15,"requiresFn":false},)"
    R"("rewrite":{"modifiers":262144,"keyCode":17,"requiresFn":false},)"
    R"("agent":{"modifiers":1048576,"keyCode":16,"requiresFn":false}})";

// What loading makes of what an account has stored.
struct LoadCase {
  const char* name;
  std::optional<qint64> version;  // "hotkey_defaults_version" before
  const char* stored;             // the configs document, or nullptr
  QStringList customized;
  HotKeyConfigMap expected;
};

void PrintTo(const LoadCase& row, std::ostream* out) { *out << row.name; }

class Loading : public ::testing::TestWithParam<LoadCase> {};

TEST_P(Loading, GivesTheStoredHotkeysAndDefaultsForTheRest) {
  const LoadCase& row = GetParam();
  UserDefaults& defaults = UserDefaults::shared();
  if (row.version) defaults.setInteger(HotKeyStorage::kDefaultsVersionKey, *row.version);
  if (row.stored) defaults.setBytes(HotKeyStorage::configsKey(), row.stored);
  if (!row.customized.isEmpty()) defaults.setStringList(HotKeyStorage::customizedKey(), row.customized);

  EXPECT_EQ(HotKeyManager::shared().configs(), row.expected);
  EXPECT_EQ(defaults.integer(HotKeyStorage::kDefaultsVersionKey), std::max<qint64>(row.version.value_or(0), 2));
  if (row.stored) {
    EXPECT_EQ(defaults.bytes(HotKeyStorage::configsKey()), QByteArray(row.stored)) << "loading never rewrites";
  }
}

INSTANTIATE_TEST_SUITE_P(
    HotKeyStorage, Loading,
    ::testing::Values(
        LoadCase{"NothingStored", std::nullopt, nullptr, {}, kDefaults},
        LoadCase{"MigratedStoredIsUsedAsItIs", 2, kAllThreeStored, {},
                 {{HotKeyCombo::transcribe, kCtrlR}, {HotKeyCombo::rewrite, kCtrlT}, {HotKeyCombo::agent, kSuperY}}},
        LoadCase{"MigrationKeepsOnlyCustomized", 1, kAllThreeStored, {"rewrite"},
                 {{HotKeyCombo::transcribe, kAltQ}, {HotKeyCombo::rewrite, kCtrlT}, {HotKeyCombo::agent, kAltW}}},
        LoadCase{"MigrationWithoutVersion", std::nullopt, kAllThreeStored, {"agent", "bogus"},
                 {{HotKeyCombo::transcribe, kAltQ}, {HotKeyCombo::rewrite, kAltE}, {HotKeyCombo::agent, kSuperY}}},
        LoadCase{"OneMemberLackingRequiresFnSpoilsTheDocument", 2,
                 R"({"transcribe":{"modifiers":262144,"keyCode":15},)"
                 R"("rewrite":{"modifiers":262144,"keyCode":17,"requiresFn":false}})",
                 {}, kDefaults},
        LoadCase{"WronglyTypedFieldSpoilsTheDocument", 2,
                 R"({"rewrite":{"modifiers":262144,"keyCode":17,"requiresFn":0}})", {}, kDefaults},
        LoadCase{"NotJson", 2, "{\"rewrite\":", {}, kDefaults},
        LoadCase{"UnknownMemberIsDroppedClearedComboGetsItsDefault", 2,
                 R"({"dictate":{"modifiers":0,"keyCode":1,"requiresFn":false},)"
                 R"("rewrite":{"modifiers":262144,"keyCode":17,"requiresFn":false}})",
                 {}, {{HotKeyCombo::transcribe, kAltQ}, {HotKeyCombo::rewrite, kCtrlT}, {HotKeyCombo::agent, kAltW}}},
        LoadCase{"NegativeModifiersFallBackToTheDefault", 2,
                 R"({"transcribe":{"modifiers":-1,"keyCode":15,"requiresFn":false},)"
                 R"("rewrite":{"modifiers":262144,"keyCode":17,"requiresFn":false}})",
                 {}, {{HotKeyCombo::transcribe, kAltQ}, {HotKeyCombo::rewrite, kCtrlT}, {HotKeyCombo::agent, kAltW}}},
        LoadCase{"LoneModifierAndLoneFnAreKept", 2,
                 R"({"transcribe":{"modifiers":524288,"keyCode":-1,"requiresFn":false},)"
                 R"("agent":{"modifiers":0,"keyCode":-1,"requiresFn":true}})",
                 {}, {{HotKeyCombo::transcribe, {kOptionFlag, -1, false}}, {HotKeyCombo::rewrite, kAltE},
                      {HotKeyCombo::agent, {0, -1, true}}}}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return info.param.name; });

TEST(HotKeyStorage, KeysBelongToTheAccountWhateverTheCaseOfItsEmail) {
  AuthStore& account = AuthStore::shared();
  EXPECT_EQ(HotKeyStorage::configsKey(), QStringLiteral("hotkey_configs_1393e42b854e188e"));  // "anonymous"
  EXPECT_EQ(HotKeyStorage::customizedKey(), QStringLiteral("hotkey_customized_hotkey_configs_1393e42b854e188e"));

  account.setEmail(QStringLiteral("Ann@Example.COM"));
  EXPECT_EQ(HotKeyStorage::configsKey(), QStringLiteral("hotkey_configs_140369096a6caa05"));
  account.setEmail(QStringLiteral("ann@example.com"));
  EXPECT_EQ(HotKeyStorage::configsKey(), QStringLiteral("hotkey_configs_140369096a6caa05"));
  EXPECT_EQ(HotKeyManager::shared().hotKeyConfigsKey(), HotKeyStorage::configsKey());
  EXPECT_EQ(HotKeyStorage::accountHash(QStringLiteral("anonymous")), HotKeyStorage::accountHash(std::nullopt));
  EXPECT_NE(HotKeyStorage::accountHash(QString()), HotKeyStorage::accountHash(std::nullopt));
}

TEST(HotKeyStorage, SettingsPageEditsPersistPerAccount) {
  AuthStore& account = AuthStore::shared();
  HotKeyManager& hotKeys = HotKeyManager::shared();
  account.setEmail(QStringLiteral("ann@example.com"));
  hotKeys.loadConfigs();

  // Record a hotkey, clear another, as the settings page does.
  hotKeys.setConfig(HotKeyCombo::transcribe, kCtrlR);
  hotKeys.markCustomized(HotKeyCombo::transcribe);
  hotKeys.removeConfig(HotKeyCombo::agent);
  hotKeys.saveConfigs();

  const QJsonObject stored = QJsonDocument::fromJson(*UserDefaults::shared().bytes(hotKeys.hotKeyConfigsKey())).object();
  EXPECT_EQ(stored.keys(), (QStringList{"rewrite", "transcribe"}));
  EXPECT_EQ(stored.value("transcribe").toObject(),
            (QJsonObject{{"modifiers", 0x40000}, {"keyCode", 15}, {"requiresFn", false}}));
  EXPECT_FALSE(UserDefaults::shared().bytes(hotKeys.hotKeyConfigsKey())->contains(' ')) << "compact JSON";
  EXPECT_EQ(hotKeys.customizedCombos(), (QSet<HotKeyCombo>{HotKeyCombo::transcribe}));

  // Another account sees its own; back again, the cleared one is its default.
  account.setEmail(QStringLiteral("bob@example.com"));
  hotKeys.loadConfigs();
  EXPECT_EQ(hotKeys.configs(), kDefaults);
  EXPECT_TRUE(hotKeys.customizedCombos().isEmpty());
  account.setEmail(QStringLiteral("ANN@example.com"));
  hotKeys.loadConfigs();
  EXPECT_EQ(hotKeys.configs(),
            (HotKeyConfigMap{{HotKeyCombo::transcribe, kCtrlR}, {HotKeyCombo::rewrite, kAltE}, {HotKeyCombo::agent, kAltW}}));
}

}  // namespace
