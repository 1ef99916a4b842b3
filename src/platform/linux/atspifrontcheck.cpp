#include "platform/linux/atspifrontcheck.h"

#include "platform/frontapplication.h"
#include "platform/linux/atspitextcalls.h"
#include "platform/linux/processancestry.h"

#include <QDBusArgument>
#include <QDBusObjectPath>

#include <atspi/atspi.h>

namespace {

// Deeper than any window's tree; ends a walk up a tree that changes meanwhile.
constexpr int maximumDepth = 40;

// Where every application keeps the object that stands for it: the parent of
// its windows.
const QString applicationRootPath = QStringLiteral("/org/a11y/atspi/accessible/root");
const QString accessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");
const QString parentProperty = QStringLiteral("Parent");

// Flatpak's proxy between a sandbox and the session's buses, and its sandbox.
const QByteArray sandboxProxyName = QByteArrayLiteral("xdg-dbus-proxy");
const QByteArray sandboxName = QByteArrayLiteral("bwrap");

bool isApplicationRoot(AtspiAccessible* accessible) {
  return AtspiObjectPath::of(accessible).path == applicationRootPath;
}

bool isActive(AtspiAccessible* window) {
  // Our listener hears focus changes only: libatspi's copy of other states
  // may be old.
  atspi_accessible_clear_cache(window);
  AtspiStateSet* states = atspi_accessible_get_state_set(window);
  const bool active = atspi_state_set_contains(states, ATSPI_STATE_ACTIVE) != FALSE;
  g_object_unref(states);
  return active;
}

// An object reference, "(so)", as a property's value.
AtspiObjectPath objectPathIn(const QVariant& value) {
  if (!value.canConvert<QDBusArgument>()) return {};
  const auto argument = value.value<QDBusArgument>();
  QString service;
  QDBusObjectPath path;
  argument.beginStructure();
  argument >> service >> path;
  argument.endStructure();
  return {service, path.path()};
}

}  // namespace

AtspiFrontCheck::Verdict AtspiFrontCheck::byProcess(qint32 objectProcess) {
  const std::optional<RunningApplication> front = FrontApplication::current().frontmost();
  if (front && front->pid == objectProcess) return Verdict::inFront;
  if (!isSandboxProxy(objectProcess)) return Verdict::behind;
  return front && sharesSandbox(objectProcess, front->pid) ? Verdict::inFront : Verdict::askTheWindow;
}

bool AtspiFrontCheck::isSandboxProxy(qint32 process) {
  return process > 0 && ProcessAncestry::nameOf(process) == sandboxProxyName;
}

bool AtspiFrontCheck::sharesSandbox(qint32 proxy, qint32 application) {
  const QList<qint64> applicationLine = ProcessAncestry::lineOf(application);
  for (const qint64 ancestor : ProcessAncestry::lineOf(proxy).mid(1)) {
    // The closest ancestor of both: one application's launch, or the desktop
    // that started two of them.
    if (applicationLine.contains(ancestor)) return ProcessAncestry::nameOf(ancestor) == sandboxName;
  }
  return false;
}

bool AtspiFrontCheck::windowIsActive(_AtspiAccessible* accessible, const AtspiDeadline& deadline) {
  auto* node = static_cast<AtspiAccessible*>(g_object_ref(accessible));
  bool active = false;
  for (int depth = 0; depth < maximumDepth && node && deadline.timeLeft(); ++depth) {
    GError* error = nullptr;
    AtspiAccessible* parent = atspi_accessible_get_parent(node, &error);
    g_clear_error(&error);
    if (parent && isApplicationRoot(parent)) {
      active = deadline.timeLeft() && isActive(node);
      g_object_unref(parent);
      break;
    }
    g_object_unref(node);
    node = parent;
  }
  if (node) g_object_unref(node);
  return active;
}

QCoro::Task<bool> AtspiFrontCheck::windowIsActiveLater(AtspiObjectPath object, std::chrono::milliseconds timeout) {
  AtspiConnection& bus = AtspiConnection::shared();
  for (int depth = 0; depth < maximumDepth && object.isValid(); ++depth) {
    const AtspiReply reply = co_await bus.property(object, accessibleInterface, parentProperty, timeout);
    if (reply.error != AXError::success || reply.arguments.isEmpty()) co_return false;
    const AtspiObjectPath parent = objectPathIn(reply.arguments.constFirst());
    if (parent.path == applicationRootPath) {
      const AtspiTextCalls::States states = co_await AtspiTextCalls::states(object, timeout);
      co_return states.error == AXError::success && states.has(ATSPI_STATE_ACTIVE);
    }
    object = parent;
  }
  co_return false;
}
