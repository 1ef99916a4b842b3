#include "platform/linux/atspiconnection.h"

#include "platform/linux/atspierror.h"

#include <QCoroDBusPendingCall>
#include <QDBusMessage>
#include <QDBusVariant>

#include <atspi/atspi.h>

namespace {

const QString kConnectionName = QStringLiteral("veltrine-accessibility");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kGet = QStringLiteral("Get");
const QString kPeer = QStringLiteral("org.freedesktop.DBus.Peer");
// How long an application that did not answer is taken as silent: longer
// than the steps of one press take together, shorter than a dictation.
constexpr std::chrono::seconds kSilenceKept{2};

}  // namespace

std::optional<QString> AtspiConnection::busAddress() {
  const QByteArray fromEnvironment = qgetenv("AT_SPI_BUS_ADDRESS");
  if (!fromEnvironment.isEmpty()) return QString::fromLocal8Bit(fromEnvironment);
  const QDBusMessage request = QDBusMessage::createMethodCall(
      QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"), QStringLiteral("org.a11y.Bus"),
      QStringLiteral("GetAddress"));
  const QDBusMessage reply = QDBusConnection::sessionBus().call(request, QDBus::Block, 2000);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
  const QString address = reply.arguments().constFirst().toString();
  return address.isEmpty() ? std::nullopt : std::optional(address);
}

AtspiObjectPath AtspiObjectPath::of(_AtspiAccessible* accessible) {
  const AtspiObject* object = accessible ? ATSPI_OBJECT(accessible) : nullptr;
  if (!object || !object->app || !object->app->bus_name || !object->path) return {};
  return {QString::fromUtf8(object->app->bus_name), QString::fromUtf8(object->path)};
}

AtspiConnection& AtspiConnection::shared() {
  static AtspiConnection* instance = new AtspiConnection();
  return *instance;
}

bool AtspiConnection::connect() {
  if (!tried_) {
    tried_ = true;
    if (const std::optional<QString> address = busAddress()) {
      QDBusConnection connection = QDBusConnection::connectToBus(*address, kConnectionName);
      if (connection.isConnected()) connection_ = connection;
    }
  }
  return connection_.has_value();
}

QDBusPendingCall AtspiConnection::send(const AtspiObjectPath& object, const QString& interface, const QString& method,
                                       const QVariantList& arguments, std::chrono::milliseconds timeout) {
  if (!connect() || !object.isValid()) {
    return QDBusPendingCall::fromError(QDBusError(QDBusError::Disconnected, QStringLiteral("no accessibility bus")));
  }
  QDBusMessage message = QDBusMessage::createMethodCall(object.service, object.path, interface, method);
  message.setArguments(arguments);
  return connection_->asyncCall(message, int(timeout.count()));
}

bool AtspiConnection::answers(const QString& service, std::chrono::milliseconds timeout) {
  if (!connect() || service.isEmpty() || timeout.count() <= 0) return false;
  if (const auto silent = silentUntil_.constFind(service); silent != silentUntil_.cend()) {
    if (std::chrono::steady_clock::now() < *silent) return false;
    silentUntil_.erase(silent);
  }
  const QDBusMessage ping =
      QDBusMessage::createMethodCall(service, QStringLiteral("/"), kPeer, QStringLiteral("Ping"));
  const QDBusMessage reply = connection_->call(ping, QDBus::Block, int(timeout.count()));
  if (reply.type() == QDBusMessage::ReplyMessage) return true;
  // A refusal is an answer too; only silence and a vanished peer are not.
  const qint32 code = axErrorFromAtspiMessage(reply.errorName() + QLatin1Char(' ') + reply.errorMessage());
  // A question left too little time proves nothing.
  if (code == AXError::cannotComplete && timeout >= silenceShownAfter) takeAsSilent(service);
  return code != AXError::cannotComplete && code != AXError::invalidUIElement;
}

void AtspiConnection::takeAsSilent(const QString& service) {
  if (!service.isEmpty()) silentUntil_.insert(service, std::chrono::steady_clock::now() + kSilenceKept);
}

QCoro::Task<AtspiReply> AtspiConnection::call(AtspiObjectPath object, QString interface, QString method,
                                              QVariantList arguments, std::chrono::milliseconds timeout) {
  return answer(send(object, interface, method, arguments, timeout));
}

QCoro::Task<AtspiReply> AtspiConnection::property(AtspiObjectPath object, QString interface, QString name,
                                                  std::chrono::milliseconds timeout) {
  const QVariantList arguments{interface, name};
  AtspiReply reply = co_await call(object, kProperties, kGet, arguments, timeout);
  if (reply.error == AXError::success && !reply.arguments.isEmpty()) {
    reply.arguments = {reply.arguments.constFirst().value<QDBusVariant>().variant()};
  }
  co_return reply;
}

QCoro::Task<AtspiReply> AtspiConnection::answer(QDBusPendingCall pending) {
  const QDBusMessage reply = co_await pending;
  if (reply.type() == QDBusMessage::ReplyMessage) co_return AtspiReply{AXError::success, reply.arguments()};
  if (reply.errorName() == QDBusError::errorString(QDBusError::Disconnected)) co_return AtspiReply{AXError::apiDisabled, {}};
  co_return AtspiReply{axErrorFromAtspiMessage(reply.errorName() + QLatin1Char(' ') + reply.errorMessage()), {}};
}
