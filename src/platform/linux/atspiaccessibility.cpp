#include "platform/linux/atspiaccessibility.h"

#include "platform/linux/atspiconnection.h"
#include "platform/linux/atspielement.h"
#include "platform/linux/atspifrontcheck.h"
#include "platform/linux/atspierror.h"
#include "platform/linux/atspitextcalls.h"
#include "platform/linux/qtwidgetelement.h"

#include <QCoreApplication>
#include <QScopeGuard>

#include <atspi/atspi.h>

namespace {

// Bounds of the search for the focused object in an application's window:
// large enough for dialogs and editors, small enough to stay within the
// capture's time even in a huge window.
constexpr int maximumVisits = 400;
constexpr int maximumDepth = 40;

// The element standing for the desktop (pid 0) or one application: it only
// knows its focused element.
class FocusRoot final : public AccessibleElement {
 public:
  FocusRoot(AtspiAccessibility& service, qint32 pid) : service_(service), pid_(pid) {}

  void setMessagingTimeout(std::chrono::milliseconds timeout) override { timeout_ = timeout; }
  AXAttributeResult copyAttributeValue(const QString& attribute) override {
    if (attribute != AXAttribute::focusedUIElement) return {AXError::attributeUnsupported, {}};
    return service_.focusedElement(pid_, timeout_);
  }
  QCoro::Task<AXAttributeResult> copyAttributeValueLater(QString attribute) override {
    if (attribute != AXAttribute::focusedUIElement) return unsupported();
    return service_.focusedElementLater(pid_, timeout_);
  }
  AXSettableResult isAttributeSettable(const QString&) override { return {AXError::attributeUnsupported, false}; }
  QCoro::Task<qint32> setAttributeValue(QString, AXValue) override { co_return AXError::attributeUnsupported; }

 private:
  static QCoro::Task<AXAttributeResult> unsupported() { co_return AXAttributeResult{AXError::attributeUnsupported, {}}; }

  AtspiAccessibility& service_;
  qint32 pid_;
  std::chrono::milliseconds timeout_ = AtspiElement::defaultTimeout;
};

// A reference of our own on a libatspi object, released with the holder.
struct ObjectReference {
  explicit ObjectReference(AtspiAccessible* accessible)
      : object(accessible ? static_cast<AtspiAccessible*>(g_object_ref(accessible)) : nullptr) {}
  ~ObjectReference() {
    if (object) g_object_unref(object);
  }
  ObjectReference(const ObjectReference&) = delete;
  ObjectReference& operator=(const ObjectReference&) = delete;
  AtspiAccessible* object;
};

qint32 ownPid() { return qint32(QCoreApplication::applicationPid()); }

// Whether `object` of process `pid`, focused or not as just read, belongs to
// the application in front. Unfocused while its application is in front is a
// keyboard grab (the hotkey that started this request, still held): it took
// the focus from the whole application without giving it to anyone. The field
// is still where the user types, and gets the focus back when the key goes up.
bool inFront(AtspiAccessible* object, qint32 pid, bool focused) {
  switch (AtspiFrontCheck::byProcess(pid)) {
    case AtspiFrontCheck::Verdict::inFront: return true;
    case AtspiFrontCheck::Verdict::behind: return false;
    case AtspiFrontCheck::Verdict::askTheWindow: return focused && AtspiFrontCheck::windowIsActive(object);
  }
  return false;
}

QCoro::Task<bool> inFrontLater(AtspiObjectPath object, qint32 pid, bool focused, std::chrono::milliseconds timeout) {
  switch (AtspiFrontCheck::byProcess(pid)) {
    case AtspiFrontCheck::Verdict::inFront: co_return true;
    case AtspiFrontCheck::Verdict::behind: co_return false;
    case AtspiFrontCheck::Verdict::askTheWindow:
      co_return focused && co_await AtspiFrontCheck::windowIsActiveLater(std::move(object), timeout);
  }
  co_return false;
}

std::optional<qint32> processOf(AtspiAccessible* accessible) {
  GError* error = nullptr;
  const guint pid = atspi_accessible_get_process_id(accessible, &error);
  if (error) {
    g_clear_error(&error);
    return std::nullopt;
  }
  return qint32(pid);
}

AXAttributeResult ownFocus() {
  if (auto element = QtWidgetElement::focusedInThisProcess()) return {AXError::success, AXElementRef(element)};
  return {AXError::noValue, {}};
}

struct StateFlags {
  bool focused = false;
  bool active = false;
  bool showing = false;
  bool visible = false;
  bool managesDescendants = false;
};

StateFlags statesOf(AtspiAccessible* accessible) {
  AtspiStateSet* states = atspi_accessible_get_state_set(accessible);
  const StateFlags flags{atspi_state_set_contains(states, ATSPI_STATE_FOCUSED) != FALSE,
                         atspi_state_set_contains(states, ATSPI_STATE_ACTIVE) != FALSE,
                         atspi_state_set_contains(states, ATSPI_STATE_SHOWING) != FALSE,
                         atspi_state_set_contains(states, ATSPI_STATE_VISIBLE) != FALSE,
                         atspi_state_set_contains(states, ATSPI_STATE_MANAGES_DESCENDANTS) != FALSE};
  g_object_unref(states);
  return flags;
}

// Depth first through objects on screen; containers that manage their
// descendants (lists, tables) are not entered, their children come and go.
// GTK 4 marks nothing below its windows as showing, only as visible.
AtspiAccessible* findFocused(AtspiAccessible* node, int depth, int& visits) {
  if (++visits > maximumVisits || depth > maximumDepth) return nullptr;
  const StateFlags flags = statesOf(node);
  if (flags.focused) return static_cast<AtspiAccessible*>(g_object_ref(node));
  if ((depth > 0 && !flags.showing && !flags.visible) || flags.managesDescendants) return nullptr;
  const gint children = atspi_accessible_get_child_count(node, nullptr);
  for (gint i = 0; i < children && visits <= maximumVisits; ++i) {
    AtspiAccessible* child = atspi_accessible_get_child_at_index(node, i, nullptr);
    if (!child) continue;
    AtspiAccessible* found = findFocused(child, depth + 1, visits);
    g_object_unref(child);
    if (found) return found;
  }
  return nullptr;
}

}  // namespace

// Receives each focus change; owns the event.
void atspiFocusEvent(_AtspiEvent* focusEvent, void* self) {
  if (focusEvent->source) static_cast<AtspiAccessibility*>(self)->focusChanged(focusEvent->source, focusEvent->detail1 != 0);
  g_boxed_free(ATSPI_TYPE_EVENT, focusEvent);
}

AtspiAccessibility::AtspiAccessibility() = default;

AtspiAccessibility::~AtspiAccessibility() {
  if (listener_) {
    atspi_event_listener_deregister(listener_, "object:state-changed:focused", nullptr);
    g_object_unref(listener_);
  }
  if (focus_) g_object_unref(focus_);
  if (foundFocus_) g_object_unref(foundFocus_);
}

bool AtspiAccessibility::initialize() {
  if (!initialized_) {
    initialized_ = true;
    const int status = atspi_init();
    available_ = status == 0 || status == 1;  // 1: already initialised
  }
  return available_;
}

void AtspiAccessibility::start() {
  if (listener_ || !initialize()) return;
  AtspiConnection::shared().connect();
  listener_ = atspi_event_listener_new(atspiFocusEvent, this, nullptr);
  GError* error = nullptr;
  if (!atspi_event_listener_register(listener_, "object:state-changed:focused", &error)) {
    g_clear_error(&error);
    g_object_unref(listener_);
    listener_ = nullptr;
  }
}

void AtspiAccessibility::focusChanged(_AtspiAccessible* source, bool gained) {
  // A loss alone says nothing about where the focus went: while the user holds
  // a hotkey, our grab takes the keyboard from the application in front, which
  // then reports its field unfocused until the key goes up. Only another
  // element gaining the focus replaces the one remembered. Our own windows
  // never do: they are read without the bus, and one of them remembered would
  // hide the user's field from every later request.
  if (!gained || source == focus_) return;
  const std::optional<qint32> pid = processOf(source);
  if (pid == ownPid()) return;
  if (focus_) g_object_unref(focus_);
  focus_ = static_cast<AtspiAccessible*>(g_object_ref(source));
  focusPid_ = pid;
}

AXElementRef AtspiAccessibility::systemWide() { return std::make_shared<FocusRoot>(*this, 0); }

AXElementRef AtspiAccessibility::application(qint32 pid) { return std::make_shared<FocusRoot>(*this, pid); }

AXAttributeResult AtspiAccessibility::focusedElement(qint32 pid, std::chrono::milliseconds timeout) {
  // Never ask the bus about this process: the question would come back to
  // this very thread, which is waiting for the answer.
  if (QtWidgetElement::thisProcessIsInFront() && (pid == 0 || pid == ownPid())) return ownFocus();
  if (pid == ownPid()) return {AXError::noValue, {}};
  if (!initialize()) return {AXError::apiDisabled, {}};
  AtspiElement::applyTimeout(timeout);
  return pid == 0 ? trackedFocus() : focusInApplication(pid);
}

AXAttributeResult AtspiAccessibility::trackedFocus() {
  if (!focus_) return {AXError::noValue, {}};
  // Our own reference: a focus event handled while we wait for an answer
  // replaces focus_.
  AtspiAccessible* focus = static_cast<AtspiAccessible*>(g_object_ref(focus_));
  const auto release = qScopeGuard([focus] { g_object_unref(focus); });
  const std::optional<qint32> pid = processOf(focus);
  if (!pid) return {AXError::invalidUIElement, {}};
  if (*pid == ownPid()) return {AXError::noValue, {}};
  // The object may have lost the focus to an application that does not speak
  // AT-SPI, which announces nothing: ask it, not libatspi's cache.
  atspi_accessible_clear_cache(focus);
  AtspiStateSet* states = atspi_accessible_get_state_set(focus);
  const bool defunct = atspi_state_set_contains(states, ATSPI_STATE_DEFUNCT);
  const bool focused = atspi_state_set_contains(states, ATSPI_STATE_FOCUSED);
  g_object_unref(states);
  if (defunct) return {AXError::invalidUIElement, {}};
  if (!inFront(focus, *pid, focused)) return {AXError::noValue, {}};
  return {AXError::success, AXElementRef(std::make_shared<AtspiElement>(focus))};
}

AXAttributeResult AtspiAccessibility::focusInApplication(qint32 pid) {
  AtspiAccessible* desktop = atspi_get_desktop(0);
  if (!desktop) return {AXError::apiDisabled, {}};
  AtspiAccessible* application = nullptr;
  GError* error = nullptr;
  const gint count = atspi_accessible_get_child_count(desktop, &error);
  if (error) {
    g_object_unref(desktop);
    const qint32 code = axErrorFromAtspiMessage(QString::fromUtf8(error->message));
    g_clear_error(&error);
    return {code == AXError::cannotComplete ? code : AXError::apiDisabled, {}};
  }
  for (gint i = 0; i < count && !application; ++i) {
    AtspiAccessible* candidate = atspi_accessible_get_child_at_index(desktop, i, nullptr);
    if (!candidate) continue;
    if (processOf(candidate) == pid) {
      application = candidate;
    } else {
      g_object_unref(candidate);
    }
  }
  g_object_unref(desktop);
  if (!application) return {AXError::cannotComplete, {}};

  // The active window first; without one, every window.
  AtspiAccessible* found = nullptr;
  const gint windows = atspi_accessible_get_child_count(application, nullptr);
  int visits = 0;
  for (int pass = 0; pass < 2 && !found; ++pass) {
    for (gint i = 0; i < windows && !found; ++i) {
      AtspiAccessible* window = atspi_accessible_get_child_at_index(application, i, nullptr);
      if (!window) continue;
      if (pass == 1 || statesOf(window).active) found = findFocused(window, 0, visits);
      g_object_unref(window);
    }
  }
  g_object_unref(application);
  if (!found) return {AXError::noValue, {}};
  if (foundFocus_) g_object_unref(foundFocus_);
  foundFocus_ = found;  // keeps the reference
  foundFocusPid_ = pid;
  if (!inFront(found, pid, true)) return {AXError::noValue, {}};
  return {AXError::success, AXElementRef(std::make_shared<AtspiElement>(found))};
}

QCoro::Task<AXAttributeResult> AtspiAccessibility::focusedElementLater(qint32 pid, std::chrono::milliseconds timeout) {
  if (QtWidgetElement::thisProcessIsInFront() && (pid == 0 || pid == ownPid())) co_return ownFocus();
  if (pid == ownPid()) co_return AXAttributeResult{AXError::noValue, {}};
  if (!initialize()) co_return AXAttributeResult{AXError::apiDisabled, {}};
  // Searching an application's windows takes one call per object, each to be
  // waited for: the focus it last announced, or else the one the last search
  // found there, stands for its focused element.
  AtspiAccessible* candidate = focus_;
  std::optional<qint32> candidatePid = focusPid_;
  if (pid != 0 && candidatePid != pid) {
    candidate = foundFocusPid_ == pid ? foundFocus_ : nullptr;
    candidatePid = pid;
  }
  if (!candidate) co_return AXAttributeResult{AXError::noValue, {}};
  if (!candidatePid) co_return AXAttributeResult{AXError::invalidUIElement, {}};
  // Nothing of this object is used past the wait but what is held here.
  const auto held = std::make_shared<ObjectReference>(candidate);
  const qint32 candidateProcess = *candidatePid;
  const AtspiTextCalls::States states = co_await AtspiTextCalls::states(AtspiObjectPath::of(held->object), timeout);
  if (states.error == AXError::cannotComplete) co_return AXAttributeResult{states.error, {}};
  if (states.error != AXError::success || states.has(ATSPI_STATE_DEFUNCT)) {
    co_return AXAttributeResult{AXError::invalidUIElement, {}};
  }
  if (!co_await inFrontLater(AtspiObjectPath::of(held->object), candidateProcess, states.has(ATSPI_STATE_FOCUSED),
                             timeout)) {
    co_return AXAttributeResult{AXError::noValue, {}};
  }
  co_return AXAttributeResult{AXError::success, AXElementRef(std::make_shared<AtspiElement>(held->object))};
}
