#include "platform/linux/atspierror.h"

#include "platform/accessibleelement.h"

#include <QStringList>

namespace {

bool containsAny(const QString& message, const QStringList& needles) {
  for (const QString& needle : needles) {
    if (message.contains(needle, Qt::CaseInsensitive)) return true;
  }
  return false;
}

}  // namespace

qint32 axErrorFromAtspiMessage(const QString& message) {
  static const QStringList noAnswer{QStringLiteral("Did not receive a reply"), QStringLiteral("timeout"),
                                    QStringLiteral("timed out"), QStringLiteral("NoReply")};
  static const QStringList gone{QStringLiteral("UnknownObject"),       QStringLiteral("Unknown object"),
                                QStringLiteral("ServiceUnknown"),      QStringLiteral("was not provided by any"),
                                QStringLiteral("NameHasNoOwner"),      QStringLiteral("does not exist"),
                                QStringLiteral("doesn't exist"),       QStringLiteral("Disconnected"),
                                QStringLiteral("not connected")};
  static const QStringList unsupported{QStringLiteral("UnknownMethod"), QStringLiteral("Unknown method"),
                                       QStringLiteral("No such method"), QStringLiteral("UnknownInterface"),
                                       QStringLiteral("No such interface"), QStringLiteral("UnknownProperty"),
                                       QStringLiteral("No such property")};
  if (containsAny(message, noAnswer)) return AXError::cannotComplete;
  if (containsAny(message, gone)) return AXError::invalidUIElement;
  if (containsAny(message, unsupported)) return AXError::attributeUnsupported;
  return AXError::failure;
}
