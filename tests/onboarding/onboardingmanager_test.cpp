#include "onboarding/onboardingmanager.h"

#include "core/userdefaults.h"
#include "fakemachine.h"
#include "service/authstore.h"
#include "testenvironment.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString kUUID = QStringLiteral("4C4C4544-0042-3510-8048-B4C04F4E4D32");

TEST(OnboardingHash, Djb2InLowerCaseHexWithoutLeadingZeros) {
  const struct {
    QString text;
    QString hash;
  } cases[] = {
      {QStringLiteral("abc"), QStringLiteral("b885c8b")},
      {QString(), QStringLiteral("1505")},
      {QStringLiteral("a"), QStringLiteral("2b606")},
      // Wraps around 2^64 and ends with a zero top nibble: 15 digits, not 16.
      {QStringLiteral("jane.doe@example.com_") + kUUID, QStringLiteral("1dc2fa372cf47f0")},
      // Hashed over the UTF-8 bytes.
      {QStringLiteral("Ünïcødé@例え.jp_X"), QStringLiteral("84f1fa4a9e2ae98a")},
  };
  for (const auto& c : cases) EXPECT_EQ(OnboardingManager::accountHash(c.text), c.hash) << c.text.toStdString();
}

TEST(OnboardingKey, LowerCasedAddressAndTheMachineUUIDAsReported) {
  FakeMachine machine(kUUID);
  EXPECT_EQ(OnboardingManager::onboardingKey(QStringLiteral("Jane.Doe@Example.COM")),
            QStringLiteral("onboarding_completed_1dc2fa372cf47f0"));
  // The key holds no readable address.
  EXPECT_FALSE(OnboardingManager::onboardingKey(QStringLiteral("jane.doe@example.com")).contains(QLatin1String("jane")));

  machine.uuid.reset();
  EXPECT_EQ(OnboardingManager::platformUUID(), QStringLiteral("unknown"));
  EXPECT_EQ(OnboardingManager::onboardingKey(QStringLiteral("User@Example.com")),
            QStringLiteral("onboarding_completed_") +
                OnboardingManager::accountHash(QStringLiteral("user@example.com_unknown")));
}

class OnboardingFlag : public ::testing::Test {
 protected:
  OnboardingFlag() : defaults(TestEnvironment::root() + QStringLiteral("/onboarding.json")), auth(defaults) {}

  void signIn(const QString& email) {
    auth.setEmail(email);
    auth.setToken(QStringLiteral("token"));
  }

  FakeMachine machine{kUUID};
  UserDefaults defaults;
  AuthStore auth;
};

TEST_F(OnboardingFlag, WithoutAnEmailNothingIsShownNorStored) {
  auth.setToken(QStringLiteral("token"));  // a token alone: the main window shows
  OnboardingManager manager(auth, defaults);
  EXPECT_FALSE(manager.shouldShowOnboarding());
  manager.refresh();
  EXPECT_FALSE(manager.shouldShowOnboarding());

  const QStringList keysBefore = defaults.keys();
  QSignalSpy changed(&manager, &OnboardingManager::shouldShowOnboardingChanged);
  manager.markCompleted();
  EXPECT_EQ(defaults.keys(), keysBefore);
  EXPECT_EQ(changed.count(), 0);
}

TEST_F(OnboardingFlag, CompletedOncePerAccountAndMachineInAnyLetterCase) {
  signIn(QStringLiteral("Jane.Doe@Example.com"));
  OnboardingManager manager(auth, defaults);
  EXPECT_TRUE(manager.shouldShowOnboarding());

  manager.markCompleted();
  EXPECT_FALSE(manager.shouldShowOnboarding());
  EXPECT_EQ(defaults.boolean(QStringLiteral("onboarding_completed_1dc2fa372cf47f0")), true);

  // Signing out keeps the flag; the same address in another case skips the flow.
  auth.clearSession();
  signIn(QStringLiteral("JANE.DOE@EXAMPLE.COM"));
  manager.refresh();
  EXPECT_FALSE(manager.shouldShowOnboarding());

  // Another address sees the flow.
  signIn(QStringLiteral("someone.else@example.com"));
  manager.refresh();
  EXPECT_TRUE(manager.shouldShowOnboarding());

  // The same address on another machine sees it too.
  signIn(QStringLiteral("jane.doe@example.com"));
  machine.uuid = QStringLiteral("00000000-0000-0000-0000-000000000001");
  manager.refresh();
  EXPECT_TRUE(manager.shouldShowOnboarding());
}

TEST_F(OnboardingFlag, TheFlagSurvivesARestart) {
  signIn(QStringLiteral("jane.doe@example.com"));
  OnboardingManager(auth, defaults).markCompleted();

  // A new run reads the settings file afresh.
  UserDefaults reread(defaults.filePath());
  AuthStore rereadAuth(reread);
  OnboardingManager restarted(rereadAuth, reread);
  EXPECT_FALSE(restarted.shouldShowOnboarding());
}

TEST_F(OnboardingFlag, RefreshNotifiesEveryTime) {
  signIn(QStringLiteral("jane.doe@example.com"));
  OnboardingManager manager(auth, defaults);
  QSignalSpy changed(&manager, &OnboardingManager::shouldShowOnboardingChanged);
  manager.refresh();
  manager.refresh();
  EXPECT_EQ(changed.count(), 2);
  EXPECT_TRUE(manager.shouldShowOnboarding());
}

TEST(OnboardingShared, ReadsTheAccountSignedInAtFirstUse) {
  FakeMachine machine(kUUID);
  AuthStore::shared().setEmail(QStringLiteral("jane.doe@example.com"));
  AuthStore::shared().setToken(QStringLiteral("token"));
  EXPECT_TRUE(OnboardingManager::shared().shouldShowOnboarding());
  OnboardingManager::shared().markCompleted();
  EXPECT_EQ(UserDefaults::shared().boolean(OnboardingManager::onboardingKey(QStringLiteral("jane.doe@example.com"))),
            true);
}

}  // namespace
