#include "service/authstore.h"

#include "core/userdefaults.h"
#include "localization/applanguage.h"
#include "service/authmodels.h"
#include "service/configmodels.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString kToken = QStringLiteral("auth_token");
const QString kEmail = QStringLiteral("auth_email");
const QString kTier = QStringLiteral("auth_tier");
const QString kTotal = QStringLiteral("auth_credits_total");
const QString kRemaining = QStringLiteral("auth_credits_remaining");
const QString kResetAt = QStringLiteral("auth_credits_reset_at");
const QString kInvite = QStringLiteral("app_invite_code_enabled");
const QString kShowInvites = QStringLiteral("app_show_invite_codes_enabled");

QString settingsPath() { return TestEnvironment::root() + QStringLiteral("/account/settings.json"); }

AuthResponse login(const QString& token, const QString& email, const QString& tier) {
  AuthResponse response;
  response.token = token;
  response.email = email;
  response.tier = tier;
  return response;
}

UserPlanInfo plan(const char* json) {
  return UserPlanInfo::fromJson(QJsonDocument::fromJson(QByteArray(json)).object());
}

// Every settings write and every session hook, in the order they happen. A
// hook entry notes the e-mail and token the store holds at that moment.
class Journal {
 public:
  Journal(UserDefaults& defaults, AuthStore& store) : store_(store) {
    QObject::connect(&defaults, &UserDefaults::valueChanged, [this](const QString& key) { entries << key; });
    store.setSessionHooks({
        .loadHistory = hook("loadHistory"),
        .clearHistory = hook("clearHistory"),
        .stopHotKeyListener = hook("stopHotKeyListener"),
        .loadHotKeyConfigs = hook("loadHotKeyConfigs"),
        .resetLatestResult = hook("resetLatestResult"),
    });
  }

  QStringList entries;

 private:
  std::function<void()> hook(const char* name) {
    return [this, name] {
      entries << QStringLiteral("%1 email=%2 token=%3")
                     .arg(QLatin1String(name), store_.email().value_or(QStringLiteral("-")),
                          store_.token().value_or(QStringLiteral("-")));
    };
  }

  AuthStore& store_;
};

TEST(AuthStore, FirstStartStoresTheDefaultsButNoAbsentText) {
  UserDefaults defaults(settingsPath());
  AuthStore store(defaults);
  EXPECT_FALSE(store.isSignedIn());
  EXPECT_EQ(store.email(), std::nullopt);
  EXPECT_EQ(store.tier(), QStringLiteral("trial"));
  EXPECT_EQ(store.creditsTotal(), 0);
  EXPECT_EQ(store.creditsRemaining(), 0);
  EXPECT_EQ(store.creditsResetAt(), std::nullopt);
  EXPECT_FALSE(store.inviteCodeEnabled());
  EXPECT_FALSE(store.showInviteCodesEnabled());

  // Written at once: a reader of the file sees them.
  UserDefaults reread(settingsPath());
  QStringList keys = reread.keys();
  keys.sort();
  EXPECT_EQ(keys, (QStringList{kInvite, kShowInvites, kRemaining, kTotal, kTier}));
  EXPECT_EQ(reread.text(kTier), QStringLiteral("trial"));
  EXPECT_EQ(reread.integer(kTotal), 0);
  EXPECT_EQ(reread.integer(kRemaining), 0);
  EXPECT_EQ(reread.boolean(kInvite), false);
  EXPECT_EQ(reread.boolean(kShowInvites), false);
}

TEST(AuthStore, ValuesOfTheWrongTypeLoadAsDefaultsAndAreReplaced) {
  UserDefaults defaults(settingsPath());
  defaults.setText(kInvite, QStringLiteral("true"));
  defaults.setInteger(kShowInvites, 1);
  defaults.setText(kTotal, QStringLiteral("500"));
  defaults.setBoolean(kTier, true);
  defaults.setInteger(kToken, 7);
  defaults.setReal(kResetAt, 1.5);

  AuthStore store(defaults);
  EXPECT_FALSE(store.inviteCodeEnabled());
  EXPECT_FALSE(store.showInviteCodesEnabled());
  EXPECT_EQ(store.creditsTotal(), 0);
  EXPECT_EQ(store.tier(), QStringLiteral("trial"));
  EXPECT_FALSE(store.isSignedIn());
  EXPECT_EQ(store.creditsResetAt(), std::nullopt);
  EXPECT_EQ(defaults.boolean(kInvite), false);
  EXPECT_EQ(defaults.boolean(kShowInvites), false);
  EXPECT_EQ(defaults.integer(kTotal), 0);
  EXPECT_EQ(defaults.text(kTier), QStringLiteral("trial"));
  EXPECT_FALSE(defaults.contains(kToken));
  EXPECT_FALSE(defaults.contains(kResetAt));
}

TEST(AuthStore, ARestartBringsTheAccountBackButNotThePendingInvite) {
  {
    UserDefaults defaults(settingsPath());
    AuthStore store(defaults);
    store.saveLogin(login(QStringLiteral("tok"), QStringLiteral("Ann@Example.com"), QStringLiteral("pro")));
    store.applyPlanInfo(plan(R"({"tier":"pro","credits_total":100,"credits_used":60,"credits_remaining":40,
        "credits_reset_at":"2025-04-01T00:00:00Z","invite_code_enabled":true,"show_invite_codes_enabled":true})"));
    store.setPendingInviteEmail(QStringLiteral("new@example.com"));
  }
  UserDefaults defaults(settingsPath());
  AuthStore store(defaults);
  EXPECT_EQ(store.token(), QStringLiteral("tok"));
  EXPECT_EQ(store.email(), QStringLiteral("Ann@Example.com"));
  EXPECT_EQ(store.tier(), QStringLiteral("pro"));
  EXPECT_EQ(store.creditsTotal(), 100);
  EXPECT_EQ(store.creditsRemaining(), 40);
  EXPECT_EQ(store.creditsResetAt(), QStringLiteral("2025-04-01T00:00:00Z"));
  EXPECT_TRUE(store.inviteCodeEnabled());
  EXPECT_TRUE(store.showInviteCodesEnabled());
  EXPECT_EQ(store.pendingInviteEmail(), std::nullopt);
}

TEST(AuthStore, AnEntryTheSettingsCannotReadCostsThatSettingNotTheAccount) {
  const QString kReports = QStringLiteral("diagnostic_reports_directory");
  const struct {
    QString key;
    QByteArray entry;
  } rows[] = {
      {kTier, R"("pro")"},
      {kTotal, R"({"type":"date","value":"100"})"},
      {kInvite, R"({"type":"boolean","value":"yes"})"},
      {kRemaining, R"({"type":"integer","value":"99999999999999999999"})"},
      {kReports, R"("/home/me/reports")"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key.toStdString());
    QJsonObject values = QJsonDocument::fromJson(R"({
        "auth_token":{"type":"text","value":"tok"},"auth_email":{"type":"text","value":"ann@example.com"},
        "auth_tier":{"type":"text","value":"team"},"auth_credits_total":{"type":"integer","value":"100"},
        "auth_credits_remaining":{"type":"integer","value":"40"},
        "app_invite_code_enabled":{"type":"boolean","value":true},"app_language":{"type":"text","value":"ko"}})")
                             .object();
    values.insert(row.key, QJsonDocument::fromJson("[" + row.entry + "]").array().at(0));
    QFile::remove(settingsPath());
    QDir().mkpath(QFileInfo(settingsPath()).absolutePath());
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(QJsonObject{{QStringLiteral("version"), 1}, {QStringLiteral("values"), values}})
                   .toJson());
    file.close();

    UserDefaults defaults(settingsPath());
    AuthStore store(defaults);
    EXPECT_EQ(store.token(), QStringLiteral("tok"));
    EXPECT_EQ(store.email(), QStringLiteral("ann@example.com"));
    EXPECT_EQ(store.tier(), row.key == kTier ? QStringLiteral("trial") : QStringLiteral("team"));
    EXPECT_EQ(store.creditsTotal(), row.key == kTotal ? 0 : 100);
    EXPECT_EQ(store.creditsRemaining(), row.key == kRemaining ? 0 : 40);
    EXPECT_EQ(store.inviteCodeEnabled(), row.key != kInvite);
    EXPECT_EQ(UserDefaults(settingsPath()).text(QStringLiteral("app_language")), QStringLiteral("ko"));
    // The account's own keys are written back at load; any other entry stays
    // in the file as the user wrote it.
    if (row.key == kReports) {
      ASSERT_TRUE(file.open(QIODevice::ReadOnly));
      EXPECT_EQ(QJsonDocument::fromJson(file.readAll())[QStringLiteral("values")][kReports],
                QJsonValue(QStringLiteral("/home/me/reports")));
    }
  }
}

TEST(AuthStore, SaveLoginSwitchesHistoryAndHotkeysBeforeTheTokenArrives) {
  UserDefaults defaults(settingsPath());
  AuthStore store(defaults);
  Journal journal(defaults, store);
  QSignalSpy tokenSpy(&store, &AuthStore::tokenChanged);
  QObject::connect(&store, &AuthStore::tokenChanged,
                   [&] { journal.entries << QStringLiteral("tokenChanged written=%1").arg(defaults.contains(kToken)); });

  store.saveLogin(login(QStringLiteral("tok"), QStringLiteral("ann@example.com"), QStringLiteral("pro")));
  EXPECT_EQ(journal.entries, (QStringList{
                                 kEmail,
                                 kTier,
                                 QStringLiteral("loadHistory email=ann@example.com token=-"),
                                 QStringLiteral("loadHotKeyConfigs email=ann@example.com token=-"),
                                 QStringLiteral("tokenChanged written=0"),
                                 kToken,
                             }));
  EXPECT_EQ(tokenSpy.count(), 1);
  EXPECT_EQ(defaults.text(kToken), QStringLiteral("tok"));
}

TEST(AuthStore, SaveLoginStoresNoEmptyTextButStillSwitchesAccounts) {
  const struct {
    const char* token;
    const char* email;
    const char* tier;
    std::optional<QString> expectedToken;
    std::optional<QString> expectedEmail;
    QString expectedTier;
  } cases[] = {
      {"", "ann@example.com", "pro", std::nullopt, QStringLiteral("ann@example.com"), QStringLiteral("pro")},
      {"tok", "", "", QStringLiteral("tok"), std::nullopt, QStringLiteral("trial")},
      {"", "", "", std::nullopt, std::nullopt, QStringLiteral("trial")},
  };
  for (const auto& c : cases) {
    UserDefaults defaults(settingsPath());
    AuthStore store(defaults);
    store.saveLogin(login(QStringLiteral("old-token"), QStringLiteral("old@example.com"), QStringLiteral("max")));
    Journal journal(defaults, store);

    store.saveLogin(login(QString::fromUtf8(c.token), QString::fromUtf8(c.email), QString::fromUtf8(c.tier)));
    EXPECT_EQ(store.token(), c.expectedToken) << c.token;
    EXPECT_EQ(defaults.text(kToken), c.expectedToken) << c.token;
    EXPECT_EQ(store.email(), c.expectedEmail) << c.email;
    EXPECT_EQ(defaults.text(kEmail), c.expectedEmail) << c.email;
    EXPECT_EQ(defaults.text(kTier), c.expectedTier);
    EXPECT_EQ(journal.entries.filter(QStringLiteral("load")).size(), 2);
  }
}

TEST(AuthStore, ApplyPlanInfoCopiesInOrderAndKeepsTheTierOnlyWhenEmpty) {
  UserDefaults defaults(settingsPath());
  AuthStore store(defaults);
  store.setTier(QStringLiteral("pro"));
  store.setCreditsResetAt(QStringLiteral("2025-04-01T00:00:00Z"));
  Journal journal(defaults, store);

  store.applyPlanInfo(plan(R"({"tier":"","credits_total":10,"credits_used":3,"credits_remaining":7,
      "invite_code_enabled":true,"show_invite_codes_enabled":false})"));
  EXPECT_EQ(journal.entries, (QStringList{kTotal, kRemaining, kResetAt, kInvite, kShowInvites}));
  EXPECT_EQ(store.tier(), QStringLiteral("pro"));
  EXPECT_EQ(store.creditsTotal(), 10);
  EXPECT_EQ(store.creditsRemaining(), 7);
  EXPECT_FALSE(defaults.contains(kResetAt));
  EXPECT_EQ(defaults.boolean(kInvite), true);
  EXPECT_EQ(defaults.boolean(kShowInvites), false);

  // An answer without a tier decodes as "none", which is stored like any other.
  journal.entries.clear();
  store.applyPlanInfo(plan(R"({"credits_total":5})"));
  EXPECT_EQ(journal.entries.last(), kTier);
  EXPECT_EQ(defaults.text(kTier), QStringLiteral("none"));
}

TEST(AuthStore, ClearSessionReachesThePipelineFirstAndKeepsTheInviteSwitches) {
  UserDefaults defaults(settingsPath());
  defaults.setText(QStringLiteral("app_language"), QStringLiteral("ko"));
  AuthStore store(defaults);
  store.saveLogin(login(QStringLiteral("tok"), QStringLiteral("ann@example.com"), QStringLiteral("pro")));
  store.applyPlanInfo(plan(R"({"tier":"pro","credits_total":100,"credits_remaining":40,
      "credits_reset_at":"2025-04-01T00:00:00Z","invite_code_enabled":true,"show_invite_codes_enabled":true})"));
  store.setPendingInviteEmail(QStringLiteral("new@example.com"));
  Journal journal(defaults, store);
  QObject::connect(&store, &AuthStore::pendingInviteEmailChanged,
                   [&] { journal.entries << QStringLiteral("pendingInviteEmailChanged"); });

  store.clearSession();
  EXPECT_EQ(journal.entries, (QStringList{
                                 QStringLiteral("clearHistory email=ann@example.com token=tok"),
                                 QStringLiteral("stopHotKeyListener email=ann@example.com token=tok"),
                                 QStringLiteral("loadHotKeyConfigs email=ann@example.com token=tok"),
                                 QStringLiteral("resetLatestResult email=ann@example.com token=tok"),
                                 kToken,
                                 kEmail,
                                 kTier,
                                 kTotal,
                                 kRemaining,
                                 kResetAt,
                                 QStringLiteral("pendingInviteEmailChanged"),
                             }));
  EXPECT_FALSE(store.isSignedIn());
  EXPECT_EQ(store.pendingInviteEmail(), std::nullopt);
  for (const QString& key : {kToken, kEmail, kResetAt}) EXPECT_FALSE(defaults.contains(key)) << key.toStdString();
  EXPECT_EQ(defaults.text(kTier), QStringLiteral("trial"));
  EXPECT_EQ(defaults.integer(kTotal), 0);
  EXPECT_EQ(defaults.integer(kRemaining), 0);
  EXPECT_TRUE(store.inviteCodeEnabled());
  EXPECT_TRUE(store.showInviteCodesEnabled());
  EXPECT_EQ(defaults.boolean(kInvite), true);
  EXPECT_EQ(defaults.text(QStringLiteral("app_language")), QStringLiteral("ko"));
}

TEST(AuthStore, ResetDateReadsInTheMediumStyleOfEachInterfaceLanguage) {
  qputenv("TZ", "UTC");  // before ICU first asks for the user's zone
  UserDefaults defaults(settingsPath());
  AuthStore store(defaults);
  const struct {
    const char* resetAt;
    AppLanguage language;
    std::optional<QString> expected;
  } cases[] = {
      {"2025-03-05T08:30:00Z", AppLanguage::en, QStringLiteral("Mar 5, 2025")},
      {"2025-03-05T08:30:00.123456Z", AppLanguage::en, QStringLiteral("Mar 5, 2025")},
      {"2025-03-05T08:30:00+08:00", AppLanguage::zh, QStringLiteral("2025年3月5日")},
      {"2025-03-05T08:30:00.5Z", AppLanguage::zhHant, QStringLiteral("2025年3月5日")},
      {"2025-03-05T08:30:00Z", AppLanguage::yue, QStringLiteral("2025年3月5日")},
      {"2025-03-05T08:30:00Z", AppLanguage::ru, QStringLiteral("5 мар. 2025\u202fг.")},
      {"2025-03-05T08:30:00Z", AppLanguage::ko, QStringLiteral("2025. 3. 5.")},
      // The offset counts: 20:00 at UTC-5 is already the 6th in UTC.
      {"2025-03-05T20:00:00-05:00", AppLanguage::en, QStringLiteral("Mar 6, 2025")},
      {"2025-03-05", AppLanguage::en, std::nullopt},
      {"2025-03-05 08:30:00Z", AppLanguage::en, std::nullopt},
      {"soon", AppLanguage::en, std::nullopt},
  };
  for (const auto& c : cases) {
    store.setCreditsResetAt(QString::fromUtf8(c.resetAt));
    EXPECT_EQ(store.formattedCreditsResetDate(QLocale(rawValue(c.language))), c.expected) << c.resetAt;
  }
  store.setCreditsResetAt(std::nullopt);
  EXPECT_EQ(store.formattedCreditsResetDate(QLocale(QStringLiteral("en"))), std::nullopt);
}

TEST(AuthStore, ResetDateIsTheDayInTheUsersTimeZone) {
  qputenv("TZ", "Asia/Tokyo");
  UserDefaults defaults(settingsPath());
  AuthStore store(defaults);
  store.setCreditsResetAt(QStringLiteral("2025-03-05T20:00:00Z"));  // 05:00 on the 6th in Tokyo
  EXPECT_EQ(store.formattedCreditsResetDate(QLocale(QStringLiteral("en"))), QStringLiteral("Mar 6, 2025"));
}

}  // namespace
