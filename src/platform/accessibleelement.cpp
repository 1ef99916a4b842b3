#include "platform/accessibleelement.h"

#include <limits>

QString axErrorName(qint32 code) {
  switch (code) {
    case AXError::success: return QStringLiteral("success");
    case AXError::failure: return QStringLiteral("failure");
    case AXError::illegalArgument: return QStringLiteral("illegalArgument");
    case AXError::invalidUIElement: return QStringLiteral("invalidUIElement");
    case AXError::invalidUIElementObserver: return QStringLiteral("invalidUIElementObserver");
    case AXError::cannotComplete: return QStringLiteral("cannotComplete");
    case AXError::attributeUnsupported: return QStringLiteral("attributeUnsupported");
    case AXError::actionUnsupported: return QStringLiteral("actionUnsupported");
    case AXError::notificationUnsupported: return QStringLiteral("notificationUnsupported");
    case AXError::notImplemented: return QStringLiteral("notImplemented");
    case AXError::notificationAlreadyRegistered: return QStringLiteral("notificationAlreadyRegistered");
    case AXError::notificationNotRegistered: return QStringLiteral("notificationNotRegistered");
    case AXError::apiDisabled: return QStringLiteral("apiDisabled");
    case AXError::noValue: return QStringLiteral("noValue");
    case AXError::parameterizedAttributeUnsupported: return QStringLiteral("parameterizedAttributeUnsupported");
    case AXError::notEnoughPrecision: return QStringLiteral("notEnoughPrecision");
  }
  return QStringLiteral("unknown(%1)").arg(code);
}

bool AXTextRange::isRepresentable() const {
  constexpr qint64 limit = std::numeric_limits<qint32>::max();
  return location >= 0 && length >= 0 && location <= limit && length <= limit - location;
}

QCoro::Task<AXAttributeResult> AccessibleElement::copyAttributeValueLater(QString attribute) {
  co_return copyAttributeValue(attribute);
}
