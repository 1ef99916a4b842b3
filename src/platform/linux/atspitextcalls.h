#pragma once

#include "platform/accessibleelement.h"
#include "platform/linux/atspiconnection.h"

#include <QCoroTask>

#include <chrono>
#include <memory>

// The calls on one object that the selection needs while the user records,
// over AtspiConnection: answered later, each bounded by `timeout`. Results
// are in the AX terms of AccessibleElement.
struct AtspiTextCalls {
  // The object's selection as the Text interface reports it: how many
  // stretches are selected and the first of them, or the caret as an empty
  // range when nothing is.
  struct Selection {
    qint32 error = AXError::success;
    int count = 0;
    AXTextRange first;
  };
  static QCoro::Task<Selection> selection(AtspiObjectPath object, std::chrono::milliseconds timeout);
  static QCoro::Task<AXAttributeResult> selectedText(AtspiObjectPath object, std::chrono::milliseconds timeout);
  static QCoro::Task<AXAttributeResult> role(AtspiObjectPath object, std::chrono::milliseconds timeout);

  // The object's states as AT-SPI's 64 bits (AtspiStateType numbers them).
  struct States {
    qint32 error = AXError::success;
    quint64 bits = 0;
    bool has(int state) const { return (bits >> state) & 1U; }
  };
  static QCoro::Task<States> states(AtspiObjectPath object, std::chrono::milliseconds timeout);

  // Makes `range` the object's selection (an empty range places the caret)
  // and answers success once the object shows it. An application that
  // applies a selection without ever answering the request is not waited
  // for; it counts in `unanswered` until it answers or the time-out passes,
  // and while it does no further selection is sent (cannotComplete).
  static QCoro::Task<qint32> select(AtspiObjectPath object, AXTextRange range, std::chrono::milliseconds timeout,
                                    std::shared_ptr<int> unanswered);
};
