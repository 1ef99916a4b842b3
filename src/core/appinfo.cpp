#include "core/appinfo.h"

#include "core/logging.h"
#include "core/paths.h"

#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>

namespace AppInfo {
namespace {

QString fromConfigFile(const QString& key) {
  QFile file(Paths::configDirectory() + QStringLiteral("/appinfo.json"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QJsonDocument::fromJson(file.readAll()).object().value(key).toString();
}

QString setting(const char* environmentName, const QString& configKey, const char* builtIn) {
  const QByteArray fromEnvironment = qgetenv(environmentName);
  if (!fromEnvironment.isEmpty()) return QString::fromUtf8(fromEnvironment);
  const QString fromFile = fromConfigFile(configKey);
  if (!fromFile.isEmpty()) return fromFile;
  return QString::fromUtf8(builtIn);
}

}  // namespace

bool isLoopbackHost(const QString& host) {
  if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return true;
  const QHostAddress address(host);
  return !address.isNull() && address.isLoopback();
}

QString shortVersion() { return QStringLiteral(VELTRINE_VERSION); }

QString apiKey() { return setting("VELTRINE_API_KEY", QStringLiteral("api_key"), VELTRINE_DEFAULT_API_KEY); }

QString configuredServiceOrigin() {
  return setting("VELTRINE_SERVICE_ORIGIN", QStringLiteral("service_origin"), VELTRINE_DEFAULT_SERVICE_ORIGIN);
}

bool isAcceptableServiceOrigin(const QUrl& origin, QString* reason) {
  auto refuse = [reason](const char* why) {
    if (reason) *reason = QString::fromLatin1(why);
    return false;
  };
  if (!origin.isValid() || origin.host().isEmpty()) return refuse("not an absolute URL with a host");
  if (!origin.userInfo().isEmpty() || origin.hasQuery() || origin.hasFragment()) {
    return refuse("an origin carries no user, query or fragment");
  }
  if (!origin.path().isEmpty() && origin.path() != QLatin1String("/")) return refuse("an origin carries no path");
  const QString scheme = origin.scheme().toLower();
  if (scheme == QLatin1String("https")) return true;
  if (scheme == QLatin1String("http")) {
    if (isLoopbackHost(origin.host())) return true;
    return refuse("plain http is accepted only for loopback hosts");
  }
  return refuse("only https (or http on loopback) is supported");
}

bool isAcceptableDownloadURL(const QUrl& url) {
  if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty()) return false;
  const QString scheme = url.scheme().toLower();
  return scheme == QLatin1String("https") || (scheme == QLatin1String("http") && isLoopbackHost(url.host()));
}

std::optional<QUrl> appcastURL() {
  const QString configured = setting("VELTRINE_APPCAST_URL", QStringLiteral("appcast_url"), "");
  if (configured.isEmpty()) return std::nullopt;
  const QUrl url(configured, QUrl::StrictMode);
  if (!isAcceptableDownloadURL(url)) {
    qCWarning(lcAppInfo).noquote() << "update feed refused:" << configured;
    return std::nullopt;
  }
  return url;
}

QString updatePublicKey() {
  return setting("VELTRINE_UPDATE_PUBLIC_KEY", QStringLiteral("update_public_key"), VELTRINE_DEFAULT_UPDATE_PUBLIC_KEY)
      .trimmed();
}

std::optional<QUrl> serviceOrigin() {
  const QString configured = configuredServiceOrigin();
  QUrl origin(configured, QUrl::StrictMode);
  QString reason;
  if (!isAcceptableServiceOrigin(origin, &reason)) {
    qCWarning(lcAppInfo).noquote() << "service origin refused:" << configured << "-" << reason;
    return std::nullopt;
  }
  origin.setPath(QString());
  return origin;
}

}  // namespace AppInfo
