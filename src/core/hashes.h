#pragma once

#include <QByteArrayView>
#include <QString>

// Digests the program derives names from (per-account folders and keys).
namespace Hashes {

// The SHA-256 digest of `data` as 64 lower-case hexadecimal digits.
QString sha256Hex(QByteArrayView data);

}  // namespace Hashes
