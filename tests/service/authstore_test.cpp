#include "service/authstore.h"

#include "core/userdefaults.h"
#include "localization/applanguage.h"
#include "service/authmodels.h"
#include "service/configmodels.h"
#include "testenvironment.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <unicode/ucal.h>

namespace {

const QString kToken = QStringLiteral("auth_token"), kEmail = QStringLiteral("auth_email"),
              kTier = QStringLiteral("auth_tier"), kTotal = QStringLiteral("auth_credits_total"),
              kRemaining = QStringLiteral("auth_credits_remaining"), kResetAt = QStringLiteral("auth_credits_reset_at"),
              kInvite = QStringLiteral("app_invite_code_enabled"), kShowInvites = QStringLiteral("app_show_invite_codes_enabled");

AuthResponse login(const QString& token, const QString& email, const QString& tier) { return {token, email, tier, false, false}; }

UserPlanInfo plan(const char* json) { return UserPlanInfo::fromJson(QJsonDocument::fromJson(json).object()); }

// A settings file of its own for each test.
class AuthStoreTest : public ::testing::Test {
 protected:
  AuthStoreTest() { QFile::remove(path); }
  ~AuthStoreTest() override { QFile::remove(path); }

  // Every settings write and session hook in order; a hook notes the e-mail and token held then.
  void journal(UserDefaults& defaults, AuthStore& store) {
    QObject::connect(&defaults, &UserDefaults::valueChanged, &defaults, [this](const QString& key) { entries << key; });
    const auto hook = [this, &store](const char* name) {
      return [this, &store, name] {
        entries << QStringLiteral("%1 %2 %3").arg(QLatin1String(name), store.email().value_or(QStringLiteral("-")),
                                                  store.token().value_or(QStringLiteral("-")));
      };
    };
    store.setSessionHooks({hook("loadHistory"), hook("clearHistory"), hook("stopHotKeyListener"),
                           hook("loadHotKeyConfigs"), hook("resetLatestResult")});
  }

  const QString path = TestEnvironment::root() + QStringLiteral("/account/settings.json");
  QStringList entries;
};

TEST_F(AuthStoreTest, AFirstStartStoresTheDefaultsAndReplacesValuesOfTheWrongType) {
  {
    UserDefaults defaults(path);
    AuthStore store(defaults);
    EXPECT_FALSE(store.isSignedIn());
    EXPECT_EQ(store.tier(), QStringLiteral("trial"));
  }
  UserDefaults reread(path);
  QStringList keys = reread.keys();
  keys.sort();
  EXPECT_EQ(keys, (QStringList{kInvite, kShowInvites, kRemaining, kTotal, kTier}));  // no absent text

  reread.setText(kInvite, QStringLiteral("true"));
  reread.setText(kTotal, QStringLiteral("500"));
  reread.setBoolean(kTier, true);
  reread.setInteger(kToken, 7);
  reread.setReal(kResetAt, 1.5);
  AuthStore store(reread);
  EXPECT_FALSE(store.isSignedIn());
  EXPECT_EQ(reread.boolean(kInvite), false);
  EXPECT_EQ(reread.integer(kTotal), 0);
  EXPECT_EQ(reread.text(kTier), QStringLiteral("trial"));
  EXPECT_FALSE(reread.contains(kToken) || reread.contains(kResetAt));
}

TEST_F(AuthStoreTest, SaveLoginSwitchesHistoryAndHotkeysBeforeTheTokenArrivesAndStoresNoEmptyText) {
  UserDefaults defaults(path);
  AuthStore store(defaults);
  journal(defaults, store);
  QObject::connect(&store, &AuthStore::tokenChanged,
                   [&] { entries << QStringLiteral("tokenChanged written=%1").arg(defaults.contains(kToken)); });
  store.saveLogin(login(QStringLiteral("tok"), QStringLiteral("ann@example.com"), QStringLiteral("pro")));
  EXPECT_EQ(entries, (QStringList{kEmail, kTier, "loadHistory ann@example.com -", "loadHotKeyConfigs ann@example.com -",
                                  "tokenChanged written=0", kToken}));

  // An empty token or e-mail is stored as none; the accounts still switch.
  entries.clear();
  store.saveLogin(login(QString(), QStringLiteral("bob@example.com"), QString()));
  EXPECT_FALSE(defaults.contains(kToken));
  EXPECT_EQ(defaults.text(kEmail), QStringLiteral("bob@example.com"));
  EXPECT_EQ(defaults.text(kTier), QStringLiteral("trial"));
  EXPECT_EQ(entries.filter(QStringLiteral("load")).size(), 2);
  store.saveLogin(login(QStringLiteral("t2"), QString(), QStringLiteral("pro")));
  EXPECT_FALSE(defaults.contains(kEmail));
}

TEST_F(AuthStoreTest, PlanInfoKeepsAnEmptyTierOutAndClearSessionReachesThePipelineFirst) {
  UserDefaults defaults(path);
  defaults.setText(QStringLiteral("app_language"), QStringLiteral("ko"));
  AuthStore store(defaults);
  store.saveLogin(login(QStringLiteral("tok"), QStringLiteral("ann@example.com"), QStringLiteral("pro")));
  store.setCreditsResetAt(QStringLiteral("2025-04-01T00:00:00Z"));
  store.setPendingInviteEmail(QStringLiteral("new@example.com"));
  journal(defaults, store);

  store.applyPlanInfo(plan(R"({"tier":"","credits_total":10,"credits_used":3,"credits_remaining":7,
      "invite_code_enabled":true,"show_invite_codes_enabled":true})"));
  EXPECT_EQ(entries, (QStringList{kTotal, kRemaining, kResetAt, kInvite, kShowInvites}));
  EXPECT_EQ(store.tier(), QStringLiteral("pro"));
  EXPECT_FALSE(defaults.contains(kResetAt));
  entries.clear();
  store.applyPlanInfo(plan(R"({"credits_total":5,"invite_code_enabled":true,"show_invite_codes_enabled":true})"));
  EXPECT_EQ(defaults.text(kTier), QStringLiteral("none"));  // an answer without a tier decodes as "none"

  entries.clear();
  QObject::connect(&store, &AuthStore::pendingInviteEmailChanged, [&] { entries << QStringLiteral("pendingInvite"); });
  {
    UserDefaults reread(path);  // a restart brings the account back, not the pending invite
    AuthStore restarted(reread);
    EXPECT_EQ(restarted.token(), QStringLiteral("tok"));
    EXPECT_EQ(restarted.creditsTotal(), 5);
    EXPECT_EQ(restarted.pendingInviteEmail(), std::nullopt);
  }
  store.clearSession();
  EXPECT_EQ(entries, (QStringList{"clearHistory ann@example.com tok", "stopHotKeyListener ann@example.com tok",
                                  "loadHotKeyConfigs ann@example.com tok", "resetLatestResult ann@example.com tok",
                                  kToken, kEmail, kTier, kTotal, kRemaining, kResetAt, "pendingInvite"}));
  for (const QString& key : {kToken, kEmail, kResetAt}) EXPECT_FALSE(defaults.contains(key)) << key.toStdString();
  EXPECT_EQ(defaults.text(kTier), QStringLiteral("trial"));
  EXPECT_EQ(defaults.integer(kRemaining), 0);
  EXPECT_EQ(defaults.boolean(kShowInvites), true);  // the invite switches stay
  EXPECT_EQ(defaults.text(QStringLiteral("app_language")), QStringLiteral("ko"));
}

// The day is the user's (Tokyo, 9 hours ahead of UTC), in each language's medium style.
TEST_F(AuthStoreTest, TheResetDateIsTheUsersDayInTheMediumStyleOfEachLanguage) {
  UErrorCode status = U_ZERO_ERROR;
  UChar previous[128] = {};
  ucal_getDefaultTimeZone(previous, 128, &status);
  ucal_setDefaultTimeZone(u"Asia/Tokyo", &status);
  ASSERT_TRUE(U_SUCCESS(status));
  UserDefaults defaults(path);
  AuthStore store(defaults);
  const struct { const char* resetAt; AppLanguage language; std::optional<QString> expected; } cases[] = {
      {"2025-03-05T08:30:00Z", AppLanguage::en, QStringLiteral("Mar 5, 2025")},
      {"2025-03-05T20:00:00Z", AppLanguage::en, QStringLiteral("Mar 6, 2025")},
      {"2025-03-05T08:30:00+08:00", AppLanguage::zh, QStringLiteral("2025年3月5日")},
      {"2025-03-05T08:30:00Z", AppLanguage::ru, QStringLiteral("5 мар. 2025\u202fг.")},
      {"2025-03-05T08:30:00Z", AppLanguage::ko, QStringLiteral("2025. 3. 5.")},
      {"2025-03-05", AppLanguage::en, std::nullopt},
  };
  for (const auto& c : cases) {
    store.setCreditsResetAt(QString::fromUtf8(c.resetAt));
    EXPECT_EQ(store.formattedCreditsResetDate(QLocale(rawValue(c.language))), c.expected) << c.resetAt;
  }
  ucal_setDefaultTimeZone(previous, &status);
}

}  // namespace
