#include "platform/linux/atspielement.h"

#include "platform/linux/atspierror.h"
#include "platform/linux/atspirolename.h"
#include "platform/linux/atspitextcalls.h"


#include <atspi/atspi.h>

#include <algorithm>

namespace {

// Turns a GError into a result code and frees it.
qint32 takeError(GError*& error) {
  const qint32 code = axErrorFromAtspiMessage(QString::fromUtf8(error->message));
  g_clear_error(&error);
  return code;
}

bool hasState(AtspiAccessible* accessible, AtspiStateType state) {
  AtspiStateSet* states = atspi_accessible_get_state_set(accessible);
  const bool present = atspi_state_set_contains(states, state);
  g_object_unref(states);
  return present;
}

// The Text interface, released when the holder goes.
struct TextInterface {
  explicit TextInterface(AtspiAccessible* accessible) : text(atspi_accessible_get_text_iface(accessible)) {}
  ~TextInterface() {
    if (text) g_object_unref(text);
  }
  TextInterface(const TextInterface&) = delete;
  TextInterface& operator=(const TextInterface&) = delete;
  AtspiText* text;
};

}  // namespace

AtspiElement::AtspiElement(_AtspiAccessible* accessible)
    : accessible_(static_cast<AtspiAccessible*>(g_object_ref(accessible))),
      path_(AtspiObjectPath::of(accessible)),
      unansweredSelections_(std::make_shared<int>(0)) {}

AtspiElement::~AtspiElement() { g_object_unref(accessible_); }

void AtspiElement::applyTimeout(std::chrono::milliseconds timeout) {
  // The second figure is for applications that started moments ago, which
  // libatspi would otherwise allow fifteen seconds.
  atspi_set_timeout(int(timeout.count()), int(timeout.count()));
}

AtspiDeadline AtspiElement::callDeadline() const {
  return AtspiDeadline(std::min(AtspiDeadline::Clock::now() + timeout_, deadline_));
}

AXAttributeResult AtspiElement::copyAttributeValue(const QString& attribute) {
  const AtspiDeadline::Clock::time_point start = AtspiDeadline::Clock::now();
  questionUnanswered_ = false;
  AXAttributeResult result = read(attribute, callDeadline());
  // The application answered the lookup of this element, then left a
  // question unanswered for long enough (its bus library may still answer
  // the ping while its toolkit hangs): the next steps of the press take it as
  // silent rather than wait out their own time for it too.
  if (questionUnanswered_ && AtspiDeadline::Clock::now() - start >= AtspiConnection::silenceShownAfter) {
    AtspiConnection::shared().takeAsSilent(path_.service);
  }
  return result;
}

qint32 AtspiElement::takeCallError(GError*& error) {
  const qint32 code = takeError(error);
  if (code == AXError::cannotComplete) questionUnanswered_ = true;
  return code;
}

AXAttributeResult AtspiElement::read(const QString& attribute, const AtspiDeadline& deadline) {
  if (attribute == AXAttribute::role) return role(deadline);
  if (attribute == AXAttribute::selectedText) return selectedText(deadline);
  if (attribute == AXAttribute::selectedTextRange) return selectedTextRange(deadline);
  if (attribute == AXAttribute::selectionCount) return selectionCount(deadline);
  if (attribute == AXAttribute::value) return wholeText(deadline);
  return {AXError::attributeUnsupported, {}};
}

AXAttributeResult AtspiElement::role(const AtspiDeadline& deadline) {
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  GError* error = nullptr;
  const AtspiRole role = atspi_accessible_get_role(accessible_, &error);
  if (error) return {takeCallError(error), {}};
  if (!roleNameDependsOnLines(role)) return {AXError::success, axRoleName(role, false)};
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  return {AXError::success, axRoleName(role, hasState(accessible_, ATSPI_STATE_MULTI_LINE))};
}

qint32 AtspiElement::missingTextError(const AtspiDeadline& deadline) {
  if (!deadline.timeLeft()) return AXError::cannotComplete;
  GError* error = nullptr;
  atspi_accessible_get_role(accessible_, &error);
  return error ? takeCallError(error) : AXError::attributeUnsupported;
}

AXAttributeResult AtspiElement::selectedText(const AtspiDeadline& deadline) {
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  TextInterface text(accessible_);
  if (!text.text) return {missingTextError(deadline), {}};
  GError* error = nullptr;
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  const gint selections = atspi_text_get_n_selections(text.text, &error);
  if (error) return {takeCallError(error), {}};
  if (selections <= 0) return {AXError::success, QString()};
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  AtspiRange* range = atspi_text_get_selection(text.text, 0, &error);
  if (error) return {takeCallError(error), {}};
  if (!range) return {AXError::failure, {}};
  const gint start = range->start_offset;
  const gint end = range->end_offset;
  g_free(range);
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  gchar* selected = atspi_text_get_text(text.text, start, end, &error);
  if (error) return {takeCallError(error), {}};
  const QString value = QString::fromUtf8(selected);
  g_free(selected);
  return {AXError::success, value};
}

AXAttributeResult AtspiElement::selectedTextRange(const AtspiDeadline& deadline) {
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  TextInterface text(accessible_);
  if (!text.text) return {missingTextError(deadline), {}};
  GError* error = nullptr;
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  const gint selections = atspi_text_get_n_selections(text.text, &error);
  if (error) return {takeCallError(error), {}};
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  if (selections <= 0) {
    // No selection: the caret, as an empty range.
    const gint caret = atspi_text_get_caret_offset(text.text, &error);
    if (error) return {takeCallError(error), {}};
    return {AXError::success, AXTextRange{caret, 0}};
  }
  AtspiRange* range = atspi_text_get_selection(text.text, 0, &error);
  if (error) return {takeCallError(error), {}};
  if (!range) return {AXError::failure, {}};
  const AXTextRange value{range->start_offset, range->end_offset - range->start_offset};
  g_free(range);
  return {AXError::success, value};
}

AXAttributeResult AtspiElement::selectionCount(const AtspiDeadline& deadline) {
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  TextInterface text(accessible_);
  if (!text.text) return {missingTextError(deadline), {}};
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  GError* error = nullptr;
  const gint selections = atspi_text_get_n_selections(text.text, &error);
  if (error) return {takeCallError(error), {}};
  return {AXError::success, qint64(std::max(selections, 0))};
}

AXAttributeResult AtspiElement::wholeText(const AtspiDeadline& deadline) {
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  TextInterface text(accessible_);
  if (!text.text) return {missingTextError(deadline), {}};
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  GError* error = nullptr;
  const gint count = atspi_text_get_character_count(text.text, &error);
  if (error) return {takeCallError(error), {}};
  if (!deadline.timeLeft()) return {AXError::cannotComplete, {}};
  gchar* whole = atspi_text_get_text(text.text, 0, std::min<gint>(count, gint(AXAttribute::valueLengthRead)), &error);
  if (error) return {takeCallError(error), {}};
  const QString value = QString::fromUtf8(whole);
  g_free(whole);
  return {AXError::success, value};
}

AXSettableResult AtspiElement::isAttributeSettable(const QString& attribute) {
  if (attribute != AXAttribute::value) return {AXError::attributeUnsupported, false};
  if (!callDeadline().timeLeft()) return {AXError::cannotComplete, false};
  // libatspi keeps states it learnt from events, and not every change is
  // announced (a field made read-only is not): ask the application afresh.
  atspi_accessible_clear_cache(accessible_);
  // libatspi answers a state set that could not be read as "defunct".
  AtspiStateSet* states = atspi_accessible_get_state_set(accessible_);
  const bool defunct = atspi_state_set_contains(states, ATSPI_STATE_DEFUNCT);
  // Qt keeps EDITABLE on a read-only field and adds READ_ONLY.
  const bool editable = atspi_state_set_contains(states, ATSPI_STATE_EDITABLE) &&
                        !atspi_state_set_contains(states, ATSPI_STATE_READ_ONLY);
  g_object_unref(states);
  if (defunct) return {AXError::invalidUIElement, false};
  return {AXError::success, editable};
}

QCoro::Task<AXAttributeResult> AtspiElement::copyAttributeValueLater(QString attribute) {
  // Only what the element's own fields hold is used past the first wait:
  // the element may be gone when the answer comes.
  const AtspiObjectPath object = path_;
  const std::chrono::milliseconds timeout = timeout_;
  if (attribute == AXAttribute::role) co_return co_await AtspiTextCalls::role(object, timeout);
  if (attribute == AXAttribute::selectedText) co_return co_await AtspiTextCalls::selectedText(object, timeout);
  if (attribute == AXAttribute::selectedTextRange) {
    const AtspiTextCalls::Selection selection = co_await AtspiTextCalls::selection(object, timeout);
    if (selection.error != AXError::success) co_return AXAttributeResult{selection.error, {}};
    co_return AXAttributeResult{AXError::success, selection.first};
  }
  co_return AXAttributeResult{AXError::attributeUnsupported, {}};
}

QCoro::Task<qint32> AtspiElement::setAttributeValue(QString attribute, AXValue value) {
  if (attribute != AXAttribute::selectedTextRange) co_return AXError::attributeUnsupported;
  const auto* range = std::get_if<AXTextRange>(&value);
  if (!range || !range->isRepresentable()) co_return AXError::illegalArgument;
  co_return co_await AtspiTextCalls::select(path_, *range, timeout_, unansweredSelections_);
}
