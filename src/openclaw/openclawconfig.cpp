#include "openclaw/openclawconfig.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonValue>

std::optional<OpenClawConfig> OpenClawConfig::read(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return parse(file.readAll());
}

std::optional<OpenClawConfig> OpenClawConfig::parse(const QByteArray& text) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(text, &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
  // A missing or ill-typed "gateway" reads as an empty one.
  return OpenClawConfig(document.object().value(QStringLiteral("gateway")).toObject());
}

std::optional<GatewayCredential> OpenClawConfig::credential() const {
  const QJsonValue auth = gateway_.value(QStringLiteral("auth"));
  if (!auth.isObject()) return std::nullopt;
  const QJsonObject fields = auth.toObject();
  const QJsonValue mode = fields.value(QStringLiteral("mode"));
  const QString modeText = mode.isString() ? mode.toString() : QStringLiteral("token");
  const QJsonValue password = fields.value(QStringLiteral("password"));
  if (modeText == QStringLiteral("password") && password.isString() && !password.toString().isEmpty()) {
    return GatewayCredential{QStringLiteral("password"), password.toString()};
  }
  const QJsonValue token = fields.value(QStringLiteral("token"));
  if (token.isString() && !token.toString().isEmpty()) return GatewayCredential{QStringLiteral("token"), token.toString()};
  return std::nullopt;
}

bool OpenClawConfig::hasGatewaySecret() const {
  const QJsonObject auth = gateway_.value(QStringLiteral("auth")).toObject();
  for (const QString& key : {QStringLiteral("token"), QStringLiteral("password")}) {
    const QJsonValue secret = auth.value(key);
    if (secret.isObject() || (secret.isString() && !secret.toString().isEmpty())) return true;
  }
  return false;
}

bool OpenClawConfig::hasGatewayMode() const { return gateway_.contains(QStringLiteral("mode")); }

bool OpenClawConfig::chatCompletionsEnabled() const {
  const QJsonValue enabled = gateway_.value(QStringLiteral("http"))
                                 .toObject()
                                 .value(QStringLiteral("endpoints"))
                                 .toObject()
                                 .value(QStringLiteral("chatCompletions"))
                                 .toObject()
                                 .value(QStringLiteral("enabled"));
  return enabled.isBool() && enabled.toBool();
}
