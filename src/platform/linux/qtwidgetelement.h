#pragma once

#include "platform/accessibleelement.h"

#include <QPointer>
#include <QWidget>

// A text widget of this program as an accessibility element. When one of our
// own windows is in front the selection is read and put back here, straight
// from the widget: asking the desktop's accessibility service would send the
// question back into this process, whose main thread is busy asking.
//
// Line edits, text edits and plain text edits expose their text; other widgets
// only their role. Offsets count UTF-16 units, as the widgets do.
class QtWidgetElement final : public AccessibleElement {
 public:
  explicit QtWidgetElement(QWidget* widget);

  // The widget with the keyboard focus while a window of this process is the
  // active one; nothing otherwise.
  static std::shared_ptr<QtWidgetElement> focusedInThisProcess();
  // Whether a window of this process is the active one. A floating panel
  // (a window that refuses the focus by its flags) never is, also while the
  // user works in its text: a request is for the application they type into.
  static bool thisProcessIsInFront();

  QWidget* widget() const { return widget_; }

  void setMessagingTimeout(std::chrono::milliseconds) override {}
  void setMessagingDeadline(std::chrono::steady_clock::time_point) override {}
  AXAttributeResult copyAttributeValue(const QString& attribute) override;
  AXSettableResult isAttributeSettable(const QString& attribute) override;
  // Answered at once: the widget is ours.
  QCoro::Task<qint32> setAttributeValue(QString attribute, AXValue value) override;

 private:
  qint32 setAttributeValueNow(const QString& attribute, const AXValue& value);

  QPointer<QWidget> widget_;
};
