#include "standinstore.h"

#include <QDateTime>

#include <algorithm>

namespace {

constexpr int kHotwordLimit = 200;

QString createdNow() { return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs); }

StandinRefusal notFound(const char* code) { return StandinRefusal(404, QString::fromLatin1(code), QStringLiteral("not found")); }

}  // namespace

StandinStore::StandinStore(Options options) : options_(std::move(options)) {}

QString StandinStore::tokenFor(const QString& email) {
  return QStringLiteral("standin.") +
         QString::fromLatin1(email.toUtf8().toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString StandinStore::emailForAuthorization(const QString& authorization) const {
  const QString prefix = QStringLiteral("Bearer standin.");
  if (!authorization.startsWith(prefix)) {
    throw StandinRefusal(401, QStringLiteral("UNAUTHORIZED"), QStringLiteral("sign in first"));
  }
  const QString email = QString::fromUtf8(QByteArray::fromBase64(
      authorization.mid(prefix.size()).toLatin1(), QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
  if (!email.contains(QLatin1Char('@'))) {
    throw StandinRefusal(401, QStringLiteral("UNAUTHORIZED"), QStringLiteral("unknown token"));
  }
  return email;
}

bool StandinStore::verify(const QString& email, const QString& code) {
  if (!email.contains(QLatin1Char('@'))) throw StandinRefusal(400, QStringLiteral("INVALID_EMAIL"), QStringLiteral("not an e-mail address"));
  if (code != options_.signInCode) throw StandinRefusal(400, QStringLiteral("INVALID_CODE"), QStringLiteral("wrong code"));
  std::lock_guard lock(mutex_);
  const bool isNew = !accounts_.contains(email);
  Account& account = accountLocked(email);
  if (isNew) account.needsInvite = options_.requireInvite;
  return account.needsInvite;
}

void StandinStore::verifyInvite(const QString& email, const QString& inviteCode) {
  // The program sends the code's eight characters without the display hyphen.
  QString code = inviteCode.trimmed().toUpper();
  code.remove(QLatin1Char('-'));
  if (code != QLatin1String("VTRN2345")) {
    throw StandinRefusal(400, QStringLiteral("INVALID_INVITE_CODE"), QStringLiteral("try VTRN-2345"));
  }
  std::lock_guard lock(mutex_);
  if (!accounts_.contains(email)) {
    throw StandinRefusal(400, QStringLiteral("INVITE_SESSION_EXPIRED"), QStringLiteral("verify the e-mail first"));
  }
  accounts_[email].needsInvite = false;
}

QStringList StandinStore::inviteCodes(const QString& email) {
  const QString stem = QString::number(qHash(email) % 100000).rightJustified(5, QLatin1Char('0'));
  return {QStringLiteral("DEV-%1-A").arg(stem), QStringLiteral("DEV-%1-B").arg(stem)};
}

StandinStore::Account& StandinStore::accountLocked(const QString& email) {
  auto found = accounts_.find(email);
  if (found == accounts_.end()) found = accounts_.insert(email, Account{email, false, 0, {}, {}});
  return *found;
}

QString StandinStore::nextId(const char* prefix) { return QStringLiteral("%1-%2").arg(QLatin1String(prefix)).arg(++lastId_); }

StandinStore::Account StandinStore::account(const QString& email) {
  std::lock_guard lock(mutex_);
  return accountLocked(email);
}

qint64 StandinStore::chargeCredit(const QString& email) {
  std::lock_guard lock(mutex_);
  Account& account = accountLocked(email);
  if (account.creditsUsed >= options_.credits) {
    throw StandinRefusal(402, QStringLiteral("CREDITS_EXHAUSTED"), QStringLiteral("no credits left"));
  }
  ++account.creditsUsed;
  return options_.credits - account.creditsUsed;
}

QList<HotWordItem> StandinStore::hotwords(const QString& email) {
  std::lock_guard lock(mutex_);
  return accountLocked(email).hotwords;
}

HotWordItem StandinStore::addHotword(const QString& email, const QString& word) {
  std::lock_guard lock(mutex_);
  QList<HotWordItem>& list = accountLocked(email).hotwords;
  if (list.size() >= kHotwordLimit) throw StandinRefusal(400, QStringLiteral("HOTWORD_LIMIT_REACHED"), QStringLiteral("too many"));
  const bool duplicate = std::any_of(list.begin(), list.end(), [&word](const HotWordItem& item) {
    return item.word.compare(word, Qt::CaseInsensitive) == 0;
  });
  if (duplicate) throw StandinRefusal(409, QStringLiteral("HOTWORD_DUPLICATE"), QStringLiteral("already there"));
  list.append(HotWordItem{nextId("hw"), word, createdNow()});
  return list.last();
}

HotWordItem StandinStore::updateHotword(const QString& email, const QString& id, const QString& word) {
  std::lock_guard lock(mutex_);
  for (HotWordItem& item : accountLocked(email).hotwords) {
    if (item.id != id) continue;
    item.word = word;
    return item;
  }
  throw notFound("HOTWORD_NOT_FOUND");
}

void StandinStore::deleteHotword(const QString& email, const QString& id) {
  std::lock_guard lock(mutex_);
  if (accountLocked(email).hotwords.removeIf([&id](const HotWordItem& item) { return item.id == id; }) == 0) {
    throw notFound("HOTWORD_NOT_FOUND");
  }
}

QList<PersonaItem> StandinStore::personas(const QString& email) {
  std::lock_guard lock(mutex_);
  return accountLocked(email).personas;
}

PersonaItem StandinStore::addPersona(const QString& email, const QString& name, const std::optional<QString>& description,
                                     const PersonaPrompts& prompts) {
  std::lock_guard lock(mutex_);
  QList<PersonaItem>& list = accountLocked(email).personas;
  list.append(PersonaItem{nextId("persona"), name, description, false, prompts});
  return list.last();
}

PersonaItem StandinStore::updatePersona(const QString& email, const QString& id, const std::optional<QString>& name,
                                        const std::optional<QString>& description,
                                        const std::optional<PersonaPrompts>& prompts) {
  std::lock_guard lock(mutex_);
  for (PersonaItem& item : accountLocked(email).personas) {
    if (item.id != id) continue;
    if (name) item.name = *name;
    if (description) item.description = description;
    if (prompts) item.prompts = *prompts;
    return item;
  }
  throw notFound("NOT_FOUND");
}

void StandinStore::deletePersona(const QString& email, const QString& id) {
  std::lock_guard lock(mutex_);
  if (accountLocked(email).personas.removeIf([&id](const PersonaItem& item) { return item.id == id; }) == 0) {
    throw notFound("NOT_FOUND");
  }
}

PersonaItem StandinStore::activatePersona(const QString& email, const QString& id) {
  std::lock_guard lock(mutex_);
  QList<PersonaItem>& list = accountLocked(email).personas;
  const auto found = std::find_if(list.begin(), list.end(), [&id](const PersonaItem& item) { return item.id == id; });
  if (found == list.end()) throw notFound("NOT_FOUND");
  for (PersonaItem& item : list) item.isActive = item.id == id;
  return *found;
}

void StandinStore::deactivateAllPersonas(const QString& email) {
  std::lock_guard lock(mutex_);
  for (PersonaItem& item : accountLocked(email).personas) item.isActive = false;
}
