#include "onboarding/onboardingmanager.h"

#include "core/userdefaults.h"
#include "platform/machineinfo.h"
#include "service/authstore.h"

OnboardingManager& OnboardingManager::shared() {
  static OnboardingManager* manager = new OnboardingManager(AuthStore::shared(), UserDefaults::shared());
  return *manager;
}

OnboardingManager::OnboardingManager(AuthStore& auth, UserDefaults& defaults, QObject* parent)
    : QObject(parent), auth_(auth), defaults_(defaults), shouldShowOnboarding_(computeShouldShow()) {}

void OnboardingManager::refresh() { setShouldShowOnboarding(computeShouldShow()); }

void OnboardingManager::markCompleted() {
  const std::optional<QString> email = auth_.email();
  if (!email) return;
  defaults_.setBoolean(onboardingKey(*email), true);
  setShouldShowOnboarding(false);
}

bool OnboardingManager::computeShouldShow() const {
  const std::optional<QString> email = auth_.email();
  if (!email) return false;
  // Only a stored true counts as completed; a missing key (or anything else)
  // means the flow is still ahead.
  return !defaults_.boolean(onboardingKey(*email)).value_or(false);
}

void OnboardingManager::setShouldShowOnboarding(bool value) {
  shouldShowOnboarding_ = value;
  Q_EMIT shouldShowOnboardingChanged();
}

QString OnboardingManager::onboardingKey(const QString& email) {
  const QString identity = email.toLower() + QLatin1Char('_') + platformUUID();
  return QStringLiteral("onboarding_completed_") + accountHash(identity);
}

QString OnboardingManager::accountHash(const QString& text) {
  quint64 hash = 5381;
  for (const char byte : text.toUtf8()) hash = hash * 33 + static_cast<unsigned char>(byte);
  return QString::number(hash, 16);
}

QString OnboardingManager::platformUUID() {
  return MachineInfo::current().platformUUID().value_or(QStringLiteral("unknown"));
}
