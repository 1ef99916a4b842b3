#include "fakeaccessibility.h"

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
  return attributes.value(attribute, AXAttributeResult{AXError::attributeUnsupported, {}});
}

AXSettableResult FakeElement::isAttributeSettable(const QString& attribute) {
  return attribute == AXAttribute::value ? valueSettable : AXSettableResult{AXError::attributeUnsupported, false};
}

qint32 FakeElement::setAttributeValue(const QString& attribute, const AXValue& value) {
  writes.append({attribute, value});
  return setResult;
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
