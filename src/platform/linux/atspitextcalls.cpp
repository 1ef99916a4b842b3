#include "platform/linux/atspitextcalls.h"

#include "platform/linux/atspirolename.h"

#include <QDBusArgument>
#include <QDBusPendingCallWatcher>

#include <atspi/atspi-constants.h>

namespace {

const QString kText = QStringLiteral("org.a11y.atspi.Text");
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
// Method and property names. (GCC 12 cannot compile a string literal or a
// braced list inside a co_await expression: both are kept out of them.)
const QString kAddSelection = QStringLiteral("AddSelection");
const QString kCaretOffset = QStringLiteral("CaretOffset");
const QString kGetNSelections = QStringLiteral("GetNSelections");
const QString kGetRole = QStringLiteral("GetRole");
const QString kGetSelection = QStringLiteral("GetSelection");
const QString kGetState = QStringLiteral("GetState");
const QString kGetText = QStringLiteral("GetText");
const QString kSetCaretOffset = QStringLiteral("SetCaretOffset");
const QString kSetSelection = QStringLiteral("SetSelection");

AtspiConnection& bus() { return AtspiConnection::shared(); }

bool shows(const AtspiTextCalls::Selection& selection, const AXTextRange& range) {
  return selection.error == AXError::success && selection.count > 0 && selection.first == range;
}

}  // namespace

QCoro::Task<AtspiTextCalls::Selection> AtspiTextCalls::selection(AtspiObjectPath object,
                                                                 std::chrono::milliseconds timeout) {
  const AtspiReply count = co_await bus().call(object, kText, kGetNSelections, {}, timeout);
  if (count.error != AXError::success) co_return Selection{count.error, 0, {}};
  if (count.firstInt() <= 0) {
    const AtspiReply caret = co_await bus().property(object, kText, kCaretOffset, timeout);
    if (caret.error != AXError::success) co_return Selection{caret.error, 0, {}};
    co_return Selection{AXError::success, 0, AXTextRange{caret.firstInt(), 0}};
  }
  const QVariantList firstOne{0};
  const AtspiReply first = co_await bus().call(object, kText, kGetSelection, firstOne, timeout);
  if (first.error != AXError::success) co_return Selection{first.error, 0, {}};
  if (first.arguments.size() < 2) co_return Selection{AXError::failure, 0, {}};
  const qint64 start = first.arguments.at(0).toInt();
  const qint64 end = first.arguments.at(1).toInt();
  co_return Selection{AXError::success, count.firstInt(), AXTextRange{start, end - start}};
}

QCoro::Task<AXAttributeResult> AtspiTextCalls::selectedText(AtspiObjectPath object,
                                                            std::chrono::milliseconds timeout) {
  const Selection selected = co_await selection(object, timeout);
  if (selected.error != AXError::success) co_return AXAttributeResult{selected.error, {}};
  if (selected.count == 0) co_return AXAttributeResult{AXError::success, QString()};
  const qint64 start = selected.first.location;
  const QVariantList stretch{int(start), int(start + selected.first.length)};
  const AtspiReply text = co_await bus().call(object, kText, kGetText, stretch, timeout);
  if (text.error != AXError::success) co_return AXAttributeResult{text.error, {}};
  co_return AXAttributeResult{AXError::success, text.arguments.value(0).toString()};
}

QCoro::Task<AXAttributeResult> AtspiTextCalls::role(AtspiObjectPath object, std::chrono::milliseconds timeout) {
  const AtspiReply reply = co_await bus().call(object, kAccessible, kGetRole, {}, timeout);
  if (reply.error != AXError::success) co_return AXAttributeResult{reply.error, {}};
  const auto role = AtspiRole(reply.arguments.value(0).toUInt());
  bool multiLine = false;
  if (roleNameDependsOnLines(role)) {
    const States found = co_await states(object, timeout);
    multiLine = found.error == AXError::success && found.has(ATSPI_STATE_MULTI_LINE);
  }
  co_return AXAttributeResult{AXError::success, axRoleName(role, multiLine)};
}

QCoro::Task<AtspiTextCalls::States> AtspiTextCalls::states(AtspiObjectPath object,
                                                           std::chrono::milliseconds timeout) {
  const AtspiReply reply = co_await bus().call(object, kAccessible, kGetState, {}, timeout);
  if (reply.error != AXError::success || reply.arguments.isEmpty()) {
    co_return States{reply.error == AXError::success ? AXError::failure : reply.error, 0};
  }
  const auto words = qdbus_cast<QList<uint>>(reply.arguments.constFirst());
  const quint64 bits = quint64(words.value(0)) | (quint64(words.value(1)) << 32);
  co_return States{AXError::success, bits};
}

QCoro::Task<qint32> AtspiTextCalls::select(AtspiObjectPath object, AXTextRange range, std::chrono::milliseconds timeout,
                                           std::shared_ptr<int> unanswered) {
  if (*unanswered > 0) co_return AXError::cannotComplete;
  const int start = int(range.location);
  const int end = int(range.location + range.length);
  if (range.length == 0) {
    const QVariantList offset{start};
    const AtspiReply placed = co_await bus().call(object, kText, kSetCaretOffset, offset, timeout);
    co_return placed.error != AXError::success ? placed.error : placed.firstBool() ? AXError::success : AXError::failure;
  }

  const Selection before = co_await selection(object, timeout);
  if (before.error != AXError::success) co_return before.error;
  if (before.count > 0) {
    const QVariantList firstToRange{0, start, end};
    const AtspiReply moved = co_await bus().call(object, kText, kSetSelection, firstToRange, timeout);
    if (moved.error != AXError::success) co_return moved.error;
    const Selection after = co_await selection(object, timeout);
    if (shows(after, range)) co_return AXError::success;
    if (after.error != AXError::success) co_return after.error;
    // Something else stays selected. Otherwise the selection went instead
    // of moving, as GTK 4 does while answering true: adding it works there.
    if (after.count > 0) co_return AXError::failure;
  }

  // GTK 4 applies this request but never answers it. The selection read
  // right after it is answered once the request has been handled, and
  // tells what happened.
  const QVariantList stretch{start, end};
  const QDBusPendingCall added = bus().send(object, kText, kAddSelection, stretch, timeout);
  ++*unanswered;
  auto* watcher = new QDBusPendingCallWatcher(added);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [unanswered](QDBusPendingCallWatcher* done) {
    --*unanswered;
    done->deleteLater();
  });
  const Selection after = co_await selection(object, timeout);
  if (shows(after, range)) co_return AXError::success;
  const AtspiReply reply = co_await AtspiConnection::answer(added);
  if (reply.error != AXError::success) co_return reply.error;
  co_return after.error != AXError::success ? after.error : AXError::failure;
}
