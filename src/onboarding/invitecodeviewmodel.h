#pragma once

#include <QCoroTask>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class AuthStore;

// The invite-code step of sign-up: the service accepted the sign-in code of an
// address without an account and wants an invitation first. The user types
// the code an existing user gave them; it goes to the service with the waiting
// address and this machine's identity, and success signs the user in like a
// sign-in code does. Back returns to the e-mail stage of the sign-in window.
//
// The field keeps `inviteCode` formatted (InviteCodeFormat::format). Typing
// never clears the error; the next submission does. Built once each time the
// step appears; the view disables its controls while `isLoading`, which is all
// that keeps submissions from overlapping. Main thread only.
class InviteCodeViewModel : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString inviteCode READ inviteCode WRITE setInviteCode NOTIFY inviteCodeChanged)
  Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
  Q_PROPERTY(QString errorMessage READ errorMessageText NOTIFY errorMessageChanged)

 public:
  // `email` is the address waiting for its invitation; `onBack` returns the
  // sign-in window to its e-mail stage.
  InviteCodeViewModel(QString email, std::function<void()> onBack, QObject* parent = nullptr);
  InviteCodeViewModel(QString email, std::function<void()> onBack, AuthStore& authStore, QObject* parent);

  QString inviteCode() const { return inviteCode_; }
  bool isLoading() const { return isLoading_; }
  std::optional<QString> errorMessage() const { return errorMessage_; }
  QString email() const { return email_; }

  // Writes the text as it is; the field formats what it hands in.
  void setInviteCode(const QString& code);

  // The code's alphabet characters, without the hyphen.
  QString cleanCode() const;
  bool isComplete() const;

  // Sends a complete code (anything else returns at once, without a message)
  // and signs the user in. Never throws: a failure lands in `errorMessage`
  // and the typed code stays.
  QCoro::Task<void> submit();

  // Gives up the waiting address and returns to the e-mail stage.
  void back();

 Q_SIGNALS:
  void inviteCodeChanged();
  void isLoadingChanged();
  void errorMessageChanged();

 private:
  void setLoading(bool loading);
  void setErrorMessage(const std::optional<QString>& message);
  QString errorMessageText() const { return errorMessage_.value_or(QString()); }

  QString inviteCode_;
  bool isLoading_ = false;
  std::optional<QString> errorMessage_;
  QString email_;
  std::function<void()> onBack_;
  AuthStore& authStore_;
};
