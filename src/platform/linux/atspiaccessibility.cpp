#include "platform/linux/atspiaccessibility.h"

#include "platform/linux/atspiconnection.h"
#include "platform/linux/atspielement.h"
#include "platform/linux/atspifrontcheck.h"
#include "platform/linux/atspierror.h"
#include "platform/linux/atspifocussearch.h"
#include "platform/linux/atspiobjectstates.h"
#include "platform/linux/atspitextcalls.h"
#include "platform/linux/qtwidgetelement.h"

#include <QCoreApplication>

#include <atspi/atspi.h>

namespace {

// The element standing for the desktop (pid 0) or one application: it only
// knows its focused element.
class FocusRoot final : public AccessibleElement {
 public:
  FocusRoot(AtspiAccessibility& service, qint32 pid) : service_(service), pid_(pid) {}

  void setMessagingTimeout(std::chrono::milliseconds timeout) override { timeout_ = timeout; }
  void setMessagingDeadline(AtspiDeadline::Clock::time_point deadline) override { deadline_ = deadline; }
  AXAttributeResult copyAttributeValue(const QString& attribute) override {
    if (attribute != AXAttribute::focusedUIElement) return {AXError::attributeUnsupported, {}};
    return service_.focusedElement(pid_, AtspiDeadline(std::min(AtspiDeadline::Clock::now() + timeout_, deadline_)));
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
  AtspiDeadline::Clock::time_point deadline_ = AtspiDeadline::Clock::time_point::max();
};

// When the focused text of an application that announced something else is
// looked for ahead of a press: once its announcements have settled for a
// moment, and no longer than it may hold up a press that comes meanwhile.
constexpr std::chrono::milliseconds learningDelay{50};
constexpr std::chrono::milliseconds learningTime{200};

qint32 ownPid() { return qint32(QCoreApplication::applicationPid()); }

// Whether `object` of process `pid`, focused or not as just read, belongs to
// the application in front. Unfocused while its application is in front is a
// keyboard grab (the hotkey that started this request, still held): it took
// the focus from the whole application without giving it to anyone. The field
// is still where the user types, and gets the focus back when the key goes up.
bool inFront(AtspiAccessible* object, qint32 pid, bool focused, const AtspiDeadline& deadline) {
  switch (AtspiFrontCheck::byProcess(pid)) {
    case AtspiFrontCheck::Verdict::inFront: return true;
    case AtspiFrontCheck::Verdict::behind: return false;
    case AtspiFrontCheck::Verdict::askTheWindow: return focused && AtspiFrontCheck::windowIsActive(object, deadline);
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

AXAttributeResult elementFor(AtspiAccessible* accessible) {
  return {AXError::success, AXElementRef(std::make_shared<AtspiElement>(accessible))};
}

// Whether the application of `accessible` answers by `deadline`.
bool answersIn(AtspiAccessible* accessible, const AtspiDeadline& deadline) {
  return AtspiConnection::shared().answers(AtspiObjectPath::of(accessible).service, deadline.left());
}

// A step whose first question after the ping took all of its time: the
// application of `asked` answers the ping (on a bus thread of its own) but
// not the questions (its toolkit hangs). The next steps of the press take it
// as silent rather than wait for it too. (A search of many questions that runs
// out of time is a slow application, not a silent one.)
AXAttributeResult outOfTimeAsking(AtspiAccessible* asked) {
  AtspiConnection::shared().takeAsSilent(AtspiObjectPath::of(asked).service);
  return {AXError::cannotComplete, {}};
}

// The application object `accessible` belongs to; null when it cannot say.
AtspiReference applicationOf(AtspiAccessible* accessible) {
  GError* error = nullptr;
  AtspiReference application = AtspiReference::adopt(atspi_accessible_get_application(accessible, &error));
  g_clear_error(&error);
  return application;
}

// Whether `accessible` is, as the application answers now, a focused
// editable text.
bool isFocusedEditableTextNow(AtspiAccessible* accessible) {
  atspi_accessible_clear_cache(accessible);
  return atspiIsFocusedEditableText(accessible, AtspiObjectStates::of(accessible));
}

}  // namespace

// Receives each focus change; owns the event.
void atspiFocusEvent(_AtspiEvent* focusEvent, void* self) {
  if (focusEvent->source) static_cast<AtspiAccessibility*>(self)->focusChanged(focusEvent->source, focusEvent->detail1 != 0);
  g_boxed_free(ATSPI_TYPE_EVENT, focusEvent);
}

AtspiAccessibility::AtspiAccessibility() {
  learning_.setSingleShot(true);
  learning_.setInterval(learningDelay);
  QObject::connect(&learning_, &QTimer::timeout, [this] { learnFocusedText(); });
}

AtspiAccessibility::~AtspiAccessibility() {
  if (listener_) {
    atspi_event_listener_deregister(listener_, "object:state-changed:focused", nullptr);
    g_object_unref(listener_);
  }
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
  if (!gained || source == focus_.get()) return;
  const std::optional<qint32> pid = processOf(source);
  if (pid == ownPid()) return;
  focus_ = AtspiReference::share(source);
  focusPid_ = pid;
  // Not from within the event: libatspi may be waiting for an answer here.
  learning_.start();
}

AXElementRef AtspiAccessibility::systemWide() { return std::make_shared<FocusRoot>(*this, 0); }

AXElementRef AtspiAccessibility::application(qint32 pid) { return std::make_shared<FocusRoot>(*this, pid); }

AXAttributeResult AtspiAccessibility::focusedElement(qint32 pid, const AtspiDeadline& deadline) {
  // Never ask the bus about this process: the question would come back to
  // this very thread, which is waiting for the answer.
  if (QtWidgetElement::thisProcessIsInFront() && (pid == 0 || pid == ownPid())) return ownFocus();
  if (pid == ownPid()) return {AXError::noValue, {}};
  if (!initialize()) return {AXError::apiDisabled, {}};
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  AXAttributeResult result = pid == 0 ? trackedFocus(deadline) : focusInApplication(pid, deadline);
  // The calls leave libatspi's time-out at what was left of the deadline.
  AtspiElement::applyTimeout(AtspiElement::defaultTimeout);
  return result;
}

AXAttributeResult AtspiAccessibility::trackedFocus(const AtspiDeadline& deadline) {
  if (!focus_) return {AXError::noValue, {}};
  // Our own reference: a focus event handled while we wait for an answer
  // replaces focus_.
  const AtspiReference focus = AtspiReference::share(focus_.get());
  const std::optional<qint32> pid = processOf(focus.get());
  if (!pid) return {AXError::invalidUIElement, {}};
  if (*pid == ownPid()) return {AXError::noValue, {}};
  if (!answersIn(focus.get(), deadline)) return {AXError::cannotComplete, {}};
  // The object may have lost the focus to an application that does not speak
  // AT-SPI, which announces nothing: ask it, not libatspi's cache.
  if (!deadline.timeLeft()) return outOfTimeAsking(focus.get());
  atspi_accessible_clear_cache(focus.get());
  const AtspiObjectStates states = AtspiObjectStates::of(focus.get());
  if (!deadline.timeLeft()) return outOfTimeAsking(focus.get());
  if (states.defunct) return {AXError::invalidUIElement, {}};
  if (!inFront(focus.get(), *pid, states.focused, deadline)) return {AXError::noValue, {}};
  if (atspiIsFocusedEditableText(focus.get(), states)) return elementFor(focus.get());
  // A root pane, a frame or a list's cell: the user types into the focused
  // text of its application, where it has one.
  const AtspiReference application = applicationOf(focus.get());
  if (application) {
    const AtspiReference text = focusedTextIn(application.get(), *pid, deadline);
    if (text && inFront(text.get(), *pid, true, deadline)) return elementFor(text.get());
  }
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  return elementFor(focus.get());
}

AXAttributeResult AtspiAccessibility::focusInApplication(qint32 pid, const AtspiDeadline& deadline) {
  AtspiReference desktop = AtspiReference::adopt(atspi_get_desktop(0));
  if (!desktop) return {AXError::apiDisabled, {}};
  GError* error = nullptr;
  const gint count = atspi_accessible_get_child_count(desktop.get(), &error);
  if (error) {
    const qint32 code = axErrorFromAtspiMessage(QString::fromUtf8(error->message));
    g_clear_error(&error);
    return {code == AXError::cannotComplete ? code : AXError::apiDisabled, {}};
  }
  AtspiReference application;
  for (gint i = 0; i < count && !application && deadline.timeLeft(); ++i) {
    AtspiReference candidate = AtspiReference::adopt(atspi_accessible_get_child_at_index(desktop.get(), i, nullptr));
    if (candidate && processOf(candidate.get()) == pid) application = std::move(candidate);
  }
  if (!application || !answersIn(application.get(), deadline)) return {AXError::cannotComplete, {}};

  AtspiReference found;
  if (focus_ && focusPid_ == pid && isFocusedEditableTextNow(focus_.get())) {
    found = AtspiReference::share(focus_.get());
  } else {
    AtspiReference firstFocused;
    found = focusedTextIn(application.get(), pid, deadline, &firstFocused);
    if (!found) found = std::move(firstFocused);
  }
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  if (!found) return {AXError::noValue, {}};
  if (!inFront(found.get(), pid, true, deadline)) return {AXError::noValue, {}};
  return elementFor(found.get());
}

AtspiReference AtspiAccessibility::focusedTextIn(_AtspiAccessible* application, qint32 pid,
                                                 const AtspiDeadline& deadline, AtspiReference* firstFocused) {
  // The text the last search found in this application, and whether nothing
  // was announced since. (A dialog announces its own focus: then its window
  // is searched.)
  const bool sameApplication = lastSearch_.found && lastSearch_.isText && lastSearch_.pid == pid;
  const bool known = sameApplication && lastSearch_.announced.get() == focus_.get();
  AtspiObjectStates knownStates;
  if (sameApplication && deadline.timeLeft()) {
    atspi_accessible_clear_cache(lastSearch_.found.get());
    knownStates = AtspiObjectStates::of(lastSearch_.found.get());
    if (known && atspiIsFocusedEditableText(lastSearch_.found.get(), knownStates)) {
      return AtspiReference::share(lastSearch_.found.get());
    }
  }
  AtspiFocusSearch::Found found = AtspiFocusSearch(deadline).inApplication(application);
  // While a keyboard grab holds the focus (the hotkey, still down), no window
  // of the application is active and Qt drops the focus of its fields; Kate
  // even announces a cell of a side list as focused meanwhile. The text the
  // last search found before the grab still is where the user types, and
  // stays what the next search knows.
  if (!found.text && !found.sawActiveWindow && sameApplication && knownStates.editable && !knownStates.defunct) {
    return AtspiReference::share(lastSearch_.found.get());
  }
  const bool isText = bool(found.text);
  lastSearch_.found = AtspiReference::share(isText ? found.text.get() : found.focused.get());
  lastSearch_.pid = pid;
  lastSearch_.isText = isText;
  lastSearch_.announced = AtspiReference::share(focus_.get());
  if (firstFocused) *firstFocused = std::move(found.focused);
  return std::move(found.text);
}

void AtspiAccessibility::learnFocusedText() {
  if (!focus_ || !focusPid_ || QtWidgetElement::thisProcessIsInFront()) return;
  if (AtspiFrontCheck::byProcess(*focusPid_) == AtspiFrontCheck::Verdict::behind) return;
  const AtspiReference focus = AtspiReference::share(focus_.get());
  const qint32 pid = *focusPid_;
  // Nobody waits for this, but a press may come meanwhile: an application
  // that stopped answering costs it no more than the learning time.
  const AtspiDeadline deadline = AtspiDeadline::after(learningTime);
  if (answersIn(focus.get(), deadline) && deadline.timeLeft()) {
    atspi_accessible_clear_cache(focus.get());
    const AtspiObjectStates states = AtspiObjectStates::of(focus.get());
    const AtspiReference application =
        states.defunct || atspiIsFocusedEditableText(focus.get(), states) ? AtspiReference() : applicationOf(focus.get());
    if (application) focusedTextIn(application.get(), pid, deadline);
  }
  AtspiElement::applyTimeout(AtspiElement::defaultTimeout);
}

QCoro::Task<AXAttributeResult> AtspiAccessibility::focusedElementLater(qint32 pid, std::chrono::milliseconds timeout) {
  if (QtWidgetElement::thisProcessIsInFront() && (pid == 0 || pid == ownPid())) co_return ownFocus();
  if (pid == ownPid()) co_return AXAttributeResult{AXError::noValue, {}};
  if (!initialize()) co_return AXAttributeResult{AXError::apiDisabled, {}};
  // Searching an application's windows takes one call per object, each to be
  // waited for: the focus it last announced, or what the last search found
  // there, stands for its focused element. A focused text that search found
  // stands for the focus announced before it.
  AtspiAccessible* candidate = focus_.get();
  std::optional<qint32> candidatePid = focusPid_;
  const bool searchedSince = lastSearch_.found && lastSearch_.announced.get() == focus_.get();
  if (searchedSince && lastSearch_.isText && lastSearch_.pid == focusPid_) candidate = lastSearch_.found.get();
  if (pid != 0 && candidatePid != pid) {
    candidate = lastSearch_.pid == pid ? lastSearch_.found.get() : nullptr;
    candidatePid = pid;
  }
  if (!candidate) co_return AXAttributeResult{AXError::noValue, {}};
  if (!candidatePid) co_return AXAttributeResult{AXError::invalidUIElement, {}};
  // Nothing of this object is used past the wait but what is held here.
  const auto held = std::make_shared<AtspiReference>(AtspiReference::share(candidate));
  const qint32 candidateProcess = *candidatePid;
  const AtspiTextCalls::States states = co_await AtspiTextCalls::states(AtspiObjectPath::of(held->get()), timeout);
  if (states.error == AXError::cannotComplete) co_return AXAttributeResult{states.error, {}};
  if (states.error != AXError::success || states.has(ATSPI_STATE_DEFUNCT)) {
    co_return AXAttributeResult{AXError::invalidUIElement, {}};
  }
  if (!co_await inFrontLater(AtspiObjectPath::of(held->get()), candidateProcess, states.has(ATSPI_STATE_FOCUSED),
                             timeout)) {
    co_return AXAttributeResult{AXError::noValue, {}};
  }
  co_return AXAttributeResult{AXError::success, AXElementRef(std::make_shared<AtspiElement>(held->get()))};
}
