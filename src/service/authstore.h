#pragma once

#include <QObject>
#include <QString>

#include <optional>

// The signed-in account. The user counts as signed in exactly while a token is
// present. Every field persists itself in the settings store the moment it is
// assigned (an absent value removes its key), so the account survives a restart
// without an explicit save.
class AuthStore : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString token READ tokenText NOTIFY tokenChanged)
  Q_PROPERTY(QString email READ emailText NOTIFY emailChanged)

 public:
  static AuthStore& shared();

  std::optional<QString> token() const { return token_; }
  std::optional<QString> email() const { return email_; }
  bool isSignedIn() const { return token_.has_value(); }

  void setToken(std::optional<QString> token);
  void setEmail(std::optional<QString> email);

 Q_SIGNALS:
  // Emitted on every assignment, also of an equal value.
  void tokenChanged();
  void emailChanged();

 private:
  AuthStore();
  QString tokenText() const { return token_.value_or(QString()); }
  QString emailText() const { return email_.value_or(QString()); }

  std::optional<QString> token_;
  std::optional<QString> email_;
};
