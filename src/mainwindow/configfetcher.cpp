#include "mainwindow/configfetcher.h"

#include "core/logging.h"
#include "pipeline/audiorecorder.h"
#include "service/apiclient.h"
#include "service/authstore.h"
#include "service/errordescription.h"

namespace {

const char* boolText(bool value) { return value ? "true" : "false"; }

// Whether the service refused the account itself, which ends the session.
bool rejectsAccount(const APIError& error) {
  return error.kind() == APIError::Kind::unauthorized || error.kind() == APIError::Kind::userBanned;
}

void logFailure(const char* operation, const std::exception& error) {
  qCCritical(lcAppDelegate).noquote() << QStringLiteral("%1 failed: %2").arg(QLatin1String(operation), describeError(error));
}

// An answer that arrives after the account changed (a sign-out, another
// sign-in) belongs to the account that asked: it neither fills in the new
// account's figures nor signs the new account out.
bool accountChangedSince(const std::optional<QString>& token, const char* operation) {
  if (AuthStore::shared().token() == token) return false;
  qCInfo(lcAppDelegate, "%s: the account changed meanwhile, answer dropped", operation);
  return true;
}

// The recording and plan fetches: a rejected account ends the session of the
// account that asked; every other failure is only logged.
void handleAccountFetchFailure(const char* operation, const std::optional<QString>& token,
                               const std::exception& error) {
  const auto* serviceError = dynamic_cast<const APIError*>(&error);
  if (!serviceError || !rejectsAccount(*serviceError)) {
    logFailure(operation, error);
    return;
  }
  if (accountChangedSince(token, operation)) return;
  qCCritical(lcAppDelegate).noquote() << QStringLiteral("%1: auth rejected, forcing logout").arg(QLatin1String(operation));
  AuthStore::shared().clearSession();
}

}  // namespace

QCoro::Task<void> ConfigFetcher::fetchStartupConfig() {
  qCInfo(lcAppDelegate) << "fetchStartupConfig: start";
  try {
    const AppStartupConfig config = co_await APIClient::shared().fetchStartupConfig();
    AuthStore& account = AuthStore::shared();
    account.setInviteCodeEnabled(config.inviteCodeEnabled);
    account.setShowInviteCodesEnabled(config.showInviteCodesEnabled);
    qCInfo(lcAppDelegate, "fetchStartupConfig: inviteCodeEnabled=%s", boolText(config.inviteCodeEnabled));
  } catch (const std::exception& error) {
    logFailure("fetchStartupConfig", error);
  }
}

QCoro::Task<void> ConfigFetcher::fetchRecordingConfig() {
  qCInfo(lcAppDelegate) << "fetchRecordingConfig: start";
  const std::optional<QString> token = AuthStore::shared().token();
  try {
    const RecordingConfigResponse config = co_await APIClient::shared().fetchRecordingConfig();
    if (accountChangedSince(token, "fetchRecordingConfig")) co_return;
    qCInfo(lcAppDelegate, "fetchRecordingConfig: got maxDurationSec=%lld", static_cast<long long>(config.maxDurationSec));
    AudioRecorder& recorder = AudioRecorder::shared();
    const double previous = recorder.maxDuration();
    recorder.setMaxDuration(double(config.maxDurationSec));
    qCInfo(lcAppDelegate, "fetchRecordingConfig: maxDuration %f -> %f", previous, recorder.maxDuration());
  } catch (const std::exception& error) {
    handleAccountFetchFailure("fetchRecordingConfig", token, error);
  }
}

QCoro::Task<void> ConfigFetcher::fetchUserPlanInfo() {
  qCInfo(lcAppDelegate) << "fetchUserPlanInfo: start";
  const std::optional<QString> token = AuthStore::shared().token();
  try {
    const UserPlanInfo plan = co_await APIClient::shared().fetchUserPlanInfo();
    if (accountChangedSince(token, "fetchUserPlanInfo")) co_return;
    AuthStore::shared().applyPlanInfo(plan);
    qCInfo(lcAppDelegate, "fetchUserPlanInfo: remaining=%lld/%lld", static_cast<long long>(plan.creditsRemaining),
           static_cast<long long>(plan.creditsTotal));
  } catch (const std::exception& error) {
    handleAccountFetchFailure("fetchUserPlanInfo", token, error);
  }
}
