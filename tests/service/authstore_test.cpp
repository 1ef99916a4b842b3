#include "service/authstore.h"

#include "core/userdefaults.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

TEST(AuthStore, TokenAndEmailPersistAtOnceAndAbsentRemovesTheKey) {
  AuthStore& store = AuthStore::shared();
  EXPECT_FALSE(store.isSignedIn());
  QSignalSpy tokenSpy(&store, &AuthStore::tokenChanged);
  store.setToken(QStringLiteral("t-1"));
  store.setEmail(QStringLiteral("Ann@Example.com"));
  store.setToken(QStringLiteral("t-1"));
  EXPECT_EQ(tokenSpy.count(), 2);
  EXPECT_EQ(UserDefaults::shared().text(QStringLiteral("auth_token")), QStringLiteral("t-1"));
  EXPECT_EQ(UserDefaults::shared().text(QStringLiteral("auth_email")), QStringLiteral("Ann@Example.com"));

  store.setToken(std::nullopt);
  EXPECT_FALSE(UserDefaults::shared().contains(QStringLiteral("auth_token")));
  EXPECT_FALSE(store.isSignedIn());
}

}  // namespace
