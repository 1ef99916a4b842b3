#pragma once

#include "service/hotwordmodels.h"
#include "service/personamodels.h"

#include <QList>
#include <QMap>
#include <QString>

#include <mutex>
#include <optional>
#include <stdexcept>

// A refusal of the stand-in service: the HTTP status and the error body.
struct StandinRefusal : std::runtime_error {
  StandinRefusal(int status, QString code, QString message)
      : std::runtime_error(code.toStdString()), status(status), code(std::move(code)), message(std::move(message)) {}
  int status;
  QString code;
  QString message;
};

// Everything the stand-in service remembers, in memory only: accounts by
// e-mail with their credits, hotwords and personas. A token names its account
// ("standin." + the e-mail in base64url), so tokens kept by the program stay
// valid across restarts of the stand-in. Methods are safe from any thread and
// throw StandinRefusal for what the real service would refuse.
class StandinStore {
 public:
  struct Options {
    QString signInCode = QStringLiteral("123456");
    bool requireInvite = false;  // new accounts must be completed with an invite code
    qint64 credits = 100;        // per account
    qint64 maxDurationSec = 60;
  };
  struct Account {
    QString email;
    bool needsInvite = false;
    qint64 creditsUsed = 0;
    QList<HotWordItem> hotwords;
    QList<PersonaItem> personas;
  };

  explicit StandinStore(Options options);

  const Options& options() const { return options_; }
  static QString tokenFor(const QString& email);
  // The e-mail of a bearer token's account, or a 401 refusal.
  QString emailForAuthorization(const QString& authorization) const;

  // Sign-in: true when the answer must ask for an invite code first.
  bool verify(const QString& email, const QString& code);
  void verifyInvite(const QString& email, const QString& inviteCode);
  static QStringList inviteCodes(const QString& email);

  Account account(const QString& email);
  // Charges one credit; the new balance, or CREDITS_EXHAUSTED.
  qint64 chargeCredit(const QString& email);

  QList<HotWordItem> hotwords(const QString& email);
  HotWordItem addHotword(const QString& email, const QString& word);
  HotWordItem updateHotword(const QString& email, const QString& id, const QString& word);
  void deleteHotword(const QString& email, const QString& id);

  QList<PersonaItem> personas(const QString& email);
  PersonaItem addPersona(const QString& email, const QString& name, const std::optional<QString>& description,
                         const PersonaPrompts& prompts);
  PersonaItem updatePersona(const QString& email, const QString& id, const std::optional<QString>& name,
                            const std::optional<QString>& description, const std::optional<PersonaPrompts>& prompts);
  void deletePersona(const QString& email, const QString& id);
  PersonaItem activatePersona(const QString& email, const QString& id);
  void deactivateAllPersonas(const QString& email);

 private:
  Account& accountLocked(const QString& email);
  QString nextId(const char* prefix);

  const Options options_;
  mutable std::mutex mutex_;
  QMap<QString, Account> accounts_;
  qint64 lastId_ = 0;
};
