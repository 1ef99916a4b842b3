#include "service/authstore.h"

#include "core/internetdatetime.h"
#include "core/userdefaults.h"
#include "service/authmodels.h"
#include "service/configmodels.h"
#include "service/mediumdateformat.h"

namespace {

const QString kTokenKey = QStringLiteral("auth_token");
const QString kEmailKey = QStringLiteral("auth_email");
const QString kTierKey = QStringLiteral("auth_tier");
const QString kCreditsTotalKey = QStringLiteral("auth_credits_total");
const QString kCreditsRemainingKey = QStringLiteral("auth_credits_remaining");
const QString kCreditsResetAtKey = QStringLiteral("auth_credits_reset_at");
const QString kInviteCodeEnabledKey = QStringLiteral("app_invite_code_enabled");
const QString kShowInviteCodesEnabledKey = QStringLiteral("app_show_invite_codes_enabled");

const QString kDefaultTier = QStringLiteral("trial");

void run(const std::function<void()>& hook) {
  if (hook) hook();
}

std::optional<QString> nonEmpty(const QString& text) {
  if (text.isEmpty()) return std::nullopt;
  return text;
}

}  // namespace

AuthStore& AuthStore::shared() {
  static AuthStore* instance = new AuthStore(UserDefaults::shared());
  return *instance;
}

AuthStore::AuthStore(UserDefaults& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults), tier_(kDefaultTier) {
  load();
}

void AuthStore::load() {
  // Through the setters on purpose: each value read is written straight back,
  // so after a first start the defaults are stored and a value of the wrong
  // type has been replaced.
  setToken(defaults_.text(kTokenKey));
  setEmail(defaults_.text(kEmailKey));
  setTier(defaults_.text(kTierKey).value_or(kDefaultTier));
  setCreditsTotal(defaults_.integer(kCreditsTotalKey).value_or(0));
  setCreditsRemaining(defaults_.integer(kCreditsRemainingKey).value_or(0));
  setCreditsResetAt(defaults_.text(kCreditsResetAtKey));
  setInviteCodeEnabled(defaults_.boolean(kInviteCodeEnabledKey).value_or(false));
  setShowInviteCodesEnabled(defaults_.boolean(kShowInviteCodesEnabledKey).value_or(false));
}

void AuthStore::persistText(const QString& key, const std::optional<QString>& value) {
  if (value) {
    defaults_.setText(key, *value);
  } else {
    defaults_.remove(key);
  }
}

void AuthStore::setToken(std::optional<QString> token) {
  token_ = std::move(token);
  Q_EMIT tokenChanged();
  persistText(kTokenKey, token_);
}

void AuthStore::setEmail(std::optional<QString> email) {
  email_ = std::move(email);
  Q_EMIT emailChanged();
  persistText(kEmailKey, email_);
}

void AuthStore::setTier(const QString& tier) {
  tier_ = tier;
  Q_EMIT tierChanged();
  defaults_.setText(kTierKey, tier_);
}

void AuthStore::setCreditsTotal(qint64 credits) {
  creditsTotal_ = credits;
  Q_EMIT creditsTotalChanged();
  defaults_.setInteger(kCreditsTotalKey, creditsTotal_);
}

void AuthStore::setCreditsRemaining(qint64 credits) {
  creditsRemaining_ = credits;
  Q_EMIT creditsRemainingChanged();
  defaults_.setInteger(kCreditsRemainingKey, creditsRemaining_);
}

void AuthStore::setCreditsResetAt(std::optional<QString> resetAt) {
  creditsResetAt_ = std::move(resetAt);
  Q_EMIT creditsResetAtChanged();
  persistText(kCreditsResetAtKey, creditsResetAt_);
}

void AuthStore::setInviteCodeEnabled(bool enabled) {
  inviteCodeEnabled_ = enabled;
  Q_EMIT inviteCodeEnabledChanged();
  defaults_.setBoolean(kInviteCodeEnabledKey, inviteCodeEnabled_);
}

void AuthStore::setShowInviteCodesEnabled(bool enabled) {
  showInviteCodesEnabled_ = enabled;
  Q_EMIT showInviteCodesEnabledChanged();
  defaults_.setBoolean(kShowInviteCodesEnabledKey, showInviteCodesEnabled_);
}

void AuthStore::setPendingInviteEmail(std::optional<QString> email) {
  pendingInviteEmail_ = std::move(email);
  Q_EMIT pendingInviteEmailChanged();
}

void AuthStore::saveLogin(const AuthResponse& response) {
  setEmail(nonEmpty(response.email));
  setTier(response.tier.isEmpty() ? kDefaultTier : response.tier);
  run(hooks_.loadHistory);
  run(hooks_.loadHotKeyConfigs);
  setToken(nonEmpty(response.token));
}

void AuthStore::applyPlanInfo(const UserPlanInfo& plan) {
  setCreditsTotal(plan.creditsTotal);
  setCreditsRemaining(plan.creditsRemaining);
  setCreditsResetAt(plan.creditsResetAt);
  setInviteCodeEnabled(plan.inviteCodeEnabled);
  setShowInviteCodesEnabled(plan.showInviteCodesEnabled);
  if (!plan.tier.isEmpty()) setTier(plan.tier);
}

void AuthStore::clearSession() {
  run(hooks_.clearHistory);
  run(hooks_.stopHotKeyListener);
  // The e-mail still names the leaving account here, so its own
  // configurations are what the manager holds afterwards.
  run(hooks_.loadHotKeyConfigs);
  run(hooks_.resetLatestResult);
  setToken(std::nullopt);
  setEmail(std::nullopt);
  setTier(kDefaultTier);
  setCreditsTotal(0);
  setCreditsRemaining(0);
  setCreditsResetAt(std::nullopt);
  setPendingInviteEmail(std::nullopt);
}

std::optional<QString> AuthStore::formattedCreditsResetDate(const QLocale& locale) const {
  if (!creditsResetAt_) return std::nullopt;
  const std::optional<QDateTime> instant = InternetDateTime::parse(*creditsResetAt_);
  if (!instant) return std::nullopt;
  return nonEmpty(MediumDateFormat::format(*instant, locale));
}
