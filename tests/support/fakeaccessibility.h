#pragma once

#include "platform/accessibility.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

// An element whose attributes the test sets; it records what it was asked.
class FakeElement final : public AccessibleElement {
 public:
  // A focused text element with `selected` text (and the range, when given).
  static std::shared_ptr<FakeElement> text(const QString& selected, std::optional<AXTextRange> range = std::nullopt,
                                           const QString& role = QStringLiteral("AXTextField"), bool settable = true);
  // A container whose focused element is `focused` (or that fails with `error`).
  static std::shared_ptr<FakeElement> focusing(const AXElementRef& focused);
  static std::shared_ptr<FakeElement> failing(qint32 error);

  void setMessagingTimeout(std::chrono::milliseconds timeout) override { this->timeout = timeout; }
  // Reads made past it fail with cannotComplete, as a real element's would.
  void setMessagingDeadline(std::chrono::steady_clock::time_point deadline) override { this->deadline = deadline; }
  AXAttributeResult copyAttributeValue(const QString& attribute) override;
  AXSettableResult isAttributeSettable(const QString& attribute) override;
  // A write that succeeds becomes the attribute's value. While `answersHeld`
  // is set, writes are answered only when it fires (start(0) releases them).
  QCoro::Task<qint32> setAttributeValue(QString attribute, AXValue value) override;

  // Attributes not listed answer attributeUnsupported.
  QHash<QString, AXAttributeResult> attributes;
  AXSettableResult valueSettable{AXError::success, true};
  qint32 setResult = AXError::success;
  QTimer* answersHeld = nullptr;

  QList<std::pair<QString, AXValue>> writes;
  std::optional<std::chrono::milliseconds> timeout;
  std::optional<std::chrono::steady_clock::time_point> deadline;
  // Called at every read, before it is answered (a read that takes time
  // sleeps here).
  std::function<void(const QString& attribute)> onRead;
};

// The desktop's accessibility as the test sets it; installed for its lifetime.
class FakeAccessibility final : public Accessibility {
 public:
  FakeAccessibility();
  ~FakeAccessibility() override;

  AXElementRef systemWide() override;
  AXElementRef application(qint32 pid) override;

  // The elements handed out; applications without an entry fail with noValue.
  std::shared_ptr<FakeElement> systemWideElement = FakeElement::failing(AXError::noValue);
  QHash<qint32, std::shared_ptr<FakeElement>> applications;
  QStringList requests;  // "systemWide", "application(<pid>)"
};
