#pragma once

#include "platform/accessibleelement.h"
#include "platform/linux/atspiconnection.h"
#include "platform/linux/atspideadline.h"

#include <memory>

struct _AtspiAccessible;
struct _GError;

// An object of another application reached through AT-SPI. Text roles, their
// text and their selection come from the Text interface, editability from
// STATE_EDITABLE, and the selection is set back through the Text interface.
// Every call runs under the element's messaging time-out, a read at once as
// a whole however many calls it takes, and ends by the element's messaging
// deadline. Reads at once go
// through libatspi; reads later and writes through AtspiConnection, whose
// answers nobody waits for.
class AtspiElement final : public AccessibleElement {
 public:
  // Takes a reference of its own on `accessible`.
  explicit AtspiElement(_AtspiAccessible* accessible);
  ~AtspiElement() override;
  AtspiElement(const AtspiElement&) = delete;
  AtspiElement& operator=(const AtspiElement&) = delete;

  // Sets the time-out of the calls that follow (libatspi has one for all).
  static void applyTimeout(std::chrono::milliseconds timeout);
  // libatspi's own default, used by elements without a time-out.
  static constexpr std::chrono::milliseconds defaultTimeout{800};

  void setMessagingTimeout(std::chrono::milliseconds timeout) override { timeout_ = timeout; }
  void setMessagingDeadline(AtspiDeadline::Clock::time_point deadline) override { deadline_ = deadline; }
  AXAttributeResult copyAttributeValue(const QString& attribute) override;
  QCoro::Task<AXAttributeResult> copyAttributeValueLater(QString attribute) override;
  AXSettableResult isAttributeSettable(const QString& attribute) override;
  // Answers once the selection shows the range (see AtspiTextCalls::select);
  // while an application leaves an earlier request unanswered, no other is sent.
  QCoro::Task<qint32> setAttributeValue(QString attribute, AXValue value) override;

 private:
  // When the call that starts now must have ended: by the element's messaging
  // time-out, and never later than its messaging deadline (what is left of
  // the step it belongs to).
  AtspiDeadline callDeadline() const;
  AXAttributeResult read(const QString& attribute, const AtspiDeadline& deadline);
  // Turns the error of a call into its code, noting a question left unanswered.
  qint32 takeCallError(_GError*& error);
  AXAttributeResult role(const AtspiDeadline& deadline);
  AXAttributeResult selectedText(const AtspiDeadline& deadline);
  AXAttributeResult selectedTextRange(const AtspiDeadline& deadline);
  AXAttributeResult selectionCount(const AtspiDeadline& deadline);
  AXAttributeResult wholeText(const AtspiDeadline& deadline);
  // The code for "no Text interface": unsupported when the object answers,
  // else why it does not.
  qint32 missingTextError(const AtspiDeadline& deadline);

  _AtspiAccessible* accessible_;
  AtspiObjectPath path_;
  std::chrono::milliseconds timeout_ = defaultTimeout;
  AtspiDeadline::Clock::time_point deadline_ = AtspiDeadline::Clock::time_point::max();
  std::shared_ptr<int> unansweredSelections_;
  // Whether a call of the read under way went unanswered (cannotComplete).
  bool questionUnanswered_ = false;
};
