#include "platform/linux/atspielement.h"

#include "platform/linux/atspierror.h"

#include <QStringList>

#include <atspi/atspi.h>

namespace {

// Turns a GError into a result code and frees it.
qint32 takeError(GError*& error) {
  const qint32 code = axErrorFromAtspiMessage(QString::fromUtf8(error->message));
  g_clear_error(&error);
  return code;
}

// "push button" -> "AXPushButton".
QString axRoleName(const QString& atspiName) {
  QString name = QStringLiteral("AX");
  for (const QString& word : atspiName.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    name += word.at(0).toUpper() + word.mid(1);
  }
  return name;
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
    : accessible_(static_cast<AtspiAccessible*>(g_object_ref(accessible))) {}

AtspiElement::~AtspiElement() { g_object_unref(accessible_); }

void AtspiElement::applyTimeout(std::chrono::milliseconds timeout) {
  // The second figure is for applications that started moments ago, which
  // libatspi would otherwise allow fifteen seconds.
  atspi_set_timeout(int(timeout.count()), int(timeout.count()));
}

AXAttributeResult AtspiElement::copyAttributeValue(const QString& attribute) {
  applyTimeout(timeout_);
  if (attribute == AXAttribute::role) return role();
  if (attribute == AXAttribute::selectedText) return selectedText();
  if (attribute == AXAttribute::selectedTextRange) return selectedTextRange();
  return {AXError::attributeUnsupported, {}};
}

AXAttributeResult AtspiElement::role() {
  GError* error = nullptr;
  const AtspiRole role = atspi_accessible_get_role(accessible_, &error);
  if (error) return {takeError(error), {}};
  switch (role) {
    case ATSPI_ROLE_TEXT:
    case ATSPI_ROLE_ENTRY:
    case ATSPI_ROLE_PASSWORD_TEXT:
    case ATSPI_ROLE_EDITBAR:
      return {AXError::success, hasState(accessible_, ATSPI_STATE_MULTI_LINE) ? QStringLiteral("AXTextArea")
                                                                              : QStringLiteral("AXTextField")};
    case ATSPI_ROLE_DOCUMENT_TEXT:
    case ATSPI_ROLE_TERMINAL:
      return {AXError::success, QStringLiteral("AXTextArea")};
    case ATSPI_ROLE_COMBO_BOX:
      return {AXError::success, QStringLiteral("AXComboBox")};
    default:
      break;
  }
  gchar* name = atspi_role_get_name(role);
  const QString axName = axRoleName(QString::fromUtf8(name));
  g_free(name);
  return {AXError::success, axName};
}

qint32 AtspiElement::missingTextError() {
  GError* error = nullptr;
  atspi_accessible_get_role(accessible_, &error);
  return error ? takeError(error) : AXError::attributeUnsupported;
}

AXAttributeResult AtspiElement::selectedText() {
  TextInterface text(accessible_);
  if (!text.text) return {missingTextError(), {}};
  GError* error = nullptr;
  const gint selections = atspi_text_get_n_selections(text.text, &error);
  if (error) return {takeError(error), {}};
  if (selections <= 0) return {AXError::success, QString()};
  AtspiRange* range = atspi_text_get_selection(text.text, 0, &error);
  if (error) return {takeError(error), {}};
  if (!range) return {AXError::failure, {}};
  gchar* selected = atspi_text_get_text(text.text, range->start_offset, range->end_offset, &error);
  g_free(range);
  if (error) return {takeError(error), {}};
  const QString value = QString::fromUtf8(selected);
  g_free(selected);
  return {AXError::success, value};
}

AXAttributeResult AtspiElement::selectedTextRange() {
  TextInterface text(accessible_);
  if (!text.text) return {missingTextError(), {}};
  GError* error = nullptr;
  const gint selections = atspi_text_get_n_selections(text.text, &error);
  if (error) return {takeError(error), {}};
  if (selections <= 0) {
    // No selection: the caret, as an empty range.
    const gint caret = atspi_text_get_caret_offset(text.text, &error);
    if (error) return {takeError(error), {}};
    return {AXError::success, AXTextRange{caret, 0}};
  }
  AtspiRange* range = atspi_text_get_selection(text.text, 0, &error);
  if (error) return {takeError(error), {}};
  if (!range) return {AXError::failure, {}};
  const AXTextRange value{range->start_offset, range->end_offset - range->start_offset};
  g_free(range);
  return {AXError::success, value};
}

AXSettableResult AtspiElement::isAttributeSettable(const QString& attribute) {
  applyTimeout(timeout_);
  if (attribute != AXAttribute::value) return {AXError::attributeUnsupported, false};
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

qint32 AtspiElement::setAttributeValue(const QString& attribute, const AXValue& value) {
  applyTimeout(timeout_);
  if (attribute != AXAttribute::selectedTextRange) return AXError::attributeUnsupported;
  const auto* range = std::get_if<AXTextRange>(&value);
  if (!range || !range->isRepresentable()) return AXError::illegalArgument;
  TextInterface text(accessible_);
  if (!text.text) return missingTextError();

  const gint start = gint(range->location);
  const gint end = gint(range->location + range->length);
  GError* error = nullptr;
  gboolean done = FALSE;
  if (range->length == 0) {
    done = atspi_text_set_caret_offset(text.text, start, &error);
  } else {
    const gint selections = atspi_text_get_n_selections(text.text, &error);
    if (error) return takeError(error);
    done = selections > 0 ? atspi_text_set_selection(text.text, 0, start, end, &error)
                          : atspi_text_add_selection(text.text, start, end, &error);
  }
  if (error) return takeError(error);
  return done ? AXError::success : AXError::failure;
}
