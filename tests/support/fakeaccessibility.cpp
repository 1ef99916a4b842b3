#include "fakeaccessibility.h"

#include <QCoroSignal>

std::shared_ptr<FakeElement> FakeElement::text(const QString& selected, std::optional<AXTextRange> range,
                                               const QString& role, bool settable) {
  auto element = std::make_shared<FakeElement>();
  element->attributes[AXAttribute::selectedText] = {AXError::success, selected};
  if (range) element->attributes[AXAttribute::selectedTextRange] = {AXError::success, *range};
  element->attributes[AXAttribute::role] = {AXError::success, role};
  element->valueSettable = {AXError::success, settable};
  return element;
}

std::shared_ptr<FakeElement> FakeElement::focusing(const AXElementRef& focused) {
  auto element = std::make_shared<FakeElement>();
  element->attributes[AXAttribute::focusedUIElement] = {AXError::success, focused};
  return element;
}

std::shared_ptr<FakeElement> FakeElement::failing(qint32 error) {
  auto element = std::make_shared<FakeElement>();
  element->attributes[AXAttribute::focusedUIElement] = {error, {}};
  return element;
}

AXAttributeResult FakeElement::copyAttributeValue(const QString& attribute) {
  if (onRead) onRead(attribute);
  if (deadline && std::chrono::steady_clock::now() >= *deadline) return {AXError::cannotComplete, {}};
  return attributes.value(attribute, AXAttributeResult{AXError::attributeUnsupported, {}});
}

AXSettableResult FakeElement::isAttributeSettable(const QString& attribute) {
  return attribute == AXAttribute::value ? valueSettable : AXSettableResult{AXError::attributeUnsupported, false};
}

QCoro::Task<qint32> FakeElement::setAttributeValue(QString attribute, AXValue value) {
  writes.append({attribute, value});
  if (answersHeld) co_await qCoro(answersHeld, &QTimer::timeout);
  if (setResult == AXError::success) attributes[attribute] = {AXError::success, value};
  co_return setResult;
}

FakeAccessibility::FakeAccessibility() { Accessibility::install(this); }

FakeAccessibility::~FakeAccessibility() { Accessibility::install(nullptr); }

AXElementRef FakeAccessibility::systemWide() {
  requests.append(QStringLiteral("systemWide"));
  return systemWideElement;
}

AXElementRef FakeAccessibility::application(qint32 pid) {
  requests.append(QStringLiteral("application(%1)").arg(pid));
  if (!applications.contains(pid)) applications.insert(pid, FakeElement::failing(AXError::noValue));
  return applications.value(pid);
}
