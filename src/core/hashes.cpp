#include "core/hashes.h"

#include <QCryptographicHash>

namespace Hashes {

QString sha256Hex(QByteArrayView data) {
  return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

}  // namespace Hashes
