#pragma once

#include <QCoroTask>
#include <QString>
#include <QtGlobal>

#include <chrono>
#include <memory>
#include <variant>

// The accessibility model the selection code is written against: elements of
// the user interface with named attributes, whatever the desktop's own
// accessibility service is. Result codes and attribute names are the
// program's own; they appear as such in logs and traces.

// Result codes of accessibility calls.
namespace AXError {
inline constexpr qint32 success = 0;
inline constexpr qint32 failure = -25200;
inline constexpr qint32 illegalArgument = -25201;
inline constexpr qint32 invalidUIElement = -25202;
inline constexpr qint32 invalidUIElementObserver = -25203;
inline constexpr qint32 cannotComplete = -25204;
inline constexpr qint32 attributeUnsupported = -25205;
inline constexpr qint32 actionUnsupported = -25206;
inline constexpr qint32 notificationUnsupported = -25207;
inline constexpr qint32 notImplemented = -25208;
inline constexpr qint32 notificationAlreadyRegistered = -25209;
inline constexpr qint32 notificationNotRegistered = -25210;
inline constexpr qint32 apiDisabled = -25211;
inline constexpr qint32 noValue = -25212;
inline constexpr qint32 parameterizedAttributeUnsupported = -25213;
inline constexpr qint32 notEnoughPrecision = -25214;
}  // namespace AXError

// The name of a result code ("noValue"), or "unknown(<code>)".
QString axErrorName(qint32 code);

// Attribute names.
namespace AXAttribute {
inline const QString focusedUIElement = QStringLiteral("AXFocusedUIElement");
inline const QString selectedText = QStringLiteral("AXSelectedText");
inline const QString selectedTextRange = QStringLiteral("AXSelectedTextRange");
inline const QString role = QStringLiteral("AXRole");
// The element's value; of a text, the text itself, read only as far as its
// first valueLengthRead characters (a terminal's screen fits many times).
inline const QString value = QStringLiteral("AXValue");
inline constexpr qsizetype valueLengthRead = 65536;
// How many stretches of a text are selected, as a number. Said rightly also
// where the element no longer knows where they lie (a terminal whose screen
// has scrolled).
inline const QString selectionCount = QStringLiteral("AXSelectionCount");
}  // namespace AXAttribute

// A stretch of an element's text in the element's own text units.
struct AXTextRange {
  qint64 location = 0;
  qint64 length = 0;

  // Whether the desktop's text interfaces, which count in 32-bit offsets, can
  // express the range at all (a range value cannot be made otherwise).
  bool isRepresentable() const;

  friend bool operator==(const AXTextRange&, const AXTextRange&) = default;
};

class AccessibleElement;
using AXElementRef = std::shared_ptr<AccessibleElement>;

// An attribute's value: nothing, a text, a range, another element or a number.
using AXValue = std::variant<std::monostate, QString, AXTextRange, AXElementRef, qint64>;

struct AXAttributeResult {
  qint32 error = AXError::noValue;
  AXValue value;  // meaningful only with success
};

struct AXSettableResult {
  qint32 error = AXError::noValue;
  bool settable = false;
};

// One element, used on the main thread. Every call ends within the
// element's messaging time-out, and by its messaging deadline, or fails with
// cannotComplete, so an application that hangs cannot hang the program. Reads come in two forms:
// at once, holding the calling thread until the application answers (the
// selection read at a press, which the request waits for anyway), and later,
// answered on a later turn of the event loop, for whatever runs while the
// user records and must never hold up the next press. Writes are always
// answered later: some applications never answer them.
class AccessibleElement {
 public:
  virtual ~AccessibleElement() = default;

  // Bounds every later call on this element. Without one, the desktop
  // service's default applies.
  virtual void setMessagingTimeout(std::chrono::milliseconds timeout) = 0;
  // Ends every later call made at once on this element by `deadline`, all of
  // them together: each is given what is left, within the time-out, and one
  // made when nothing is left fails at once. A step of several calls (a
  // capture) thus ends within its own time however many calls it makes.
  virtual void setMessagingDeadline(std::chrono::steady_clock::time_point deadline) = 0;

  virtual AXAttributeResult copyAttributeValue(const QString& attribute) = 0;
  // The same read without waiting. Elements that never wait for another
  // application answer it at once.
  virtual QCoro::Task<AXAttributeResult> copyAttributeValueLater(QString attribute);
  virtual AXSettableResult isAttributeSettable(const QString& attribute) = 0;
  virtual QCoro::Task<qint32> setAttributeValue(QString attribute, AXValue value) = 0;
};
