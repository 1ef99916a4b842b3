#include "platform/linux/fcitx5inputmethod.h"

#include "core/tracelog.h"

#include <QDBusMessage>

namespace {

// fcitx5 answers within a millisecond; a paste never waits long on one that
// hangs (its keys would go nowhere anyway).
constexpr int kTimeoutMs = 250;
// The controller's state of the focused input context: switched on.
constexpr int kActive = 2;

}  // namespace

Fcitx5InputMethod::Fcitx5InputMethod(QDBusConnection bus) : bus_(std::move(bus)) {}

QDBusMessage Fcitx5InputMethod::call(const QString& method) {
  QDBusMessage message = QDBusMessage::createMethodCall(
      QStringLiteral("org.fcitx.Fcitx5"), QStringLiteral("/controller"), QStringLiteral("org.fcitx.Fcitx.Controller1"),
      method);
  // fcitx5 registers with the bus to be started on a call: a user who runs
  // another input method, or none, must not find it started by a paste.
  message.setAutoStartService(false);
  return bus_.call(message, QDBus::Block, kTimeoutMs);
}

bool Fcitx5InputMethod::commitComposition() {
  // Where fcitx5 does not run, the bus says so at once.
  const QDBusMessage state = call(QStringLiteral("State"));
  if (state.type() != QDBusMessage::ReplyMessage || state.arguments().value(0).toInt() != kActive) return false;
  for (const QString& method : {QStringLiteral("Deactivate"), QStringLiteral("Activate")}) {
    const QDBusMessage reply = call(method);
    if (reply.type() == QDBusMessage::ErrorMessage) {
      trace(QStringLiteral("fcitx5: ") + method + QStringLiteral(" failed: ") + reply.errorMessage());
    }
  }
  return true;
}
