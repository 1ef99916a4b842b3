#include "service/authstore.h"

#include "core/userdefaults.h"

namespace {

const QString kTokenKey = QStringLiteral("auth_token");
const QString kEmailKey = QStringLiteral("auth_email");

void persist(const QString& key, const std::optional<QString>& value) {
  if (value) {
    UserDefaults::shared().setText(key, *value);
  } else {
    UserDefaults::shared().remove(key);
  }
}

}  // namespace

AuthStore& AuthStore::shared() {
  static AuthStore* instance = new AuthStore();
  return *instance;
}

AuthStore::AuthStore() {
  token_ = UserDefaults::shared().text(kTokenKey);
  email_ = UserDefaults::shared().text(kEmailKey);
}

void AuthStore::setToken(std::optional<QString> token) {
  token_ = std::move(token);
  Q_EMIT tokenChanged();
  persist(kTokenKey, token_);
}

void AuthStore::setEmail(std::optional<QString> email) {
  email_ = std::move(email);
  Q_EMIT emailChanged();
  persist(kEmailKey, email_);
}
