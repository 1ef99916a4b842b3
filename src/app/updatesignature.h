#pragma once

#include <QCoroTask>
#include <QString>

// Tells whether a downloaded release is the one its publisher signed: an
// Ed25519 signature over the whole file (base64, as the feed carries it),
// checked against the publisher's public key (base64 of the 32-byte key).
// The checking itself is libcrypto's.
namespace UpdateSignature {

// Empty when the file at `path` carries `signature` made with the private
// half of `publicKey`; otherwise a short English reason. Reads the whole file.
QString verify(const QString& path, const QString& signature, const QString& publicKey);

// verify() on a thread of its own, so that a large release does not hold up
// the event loop (and with it the hotkeys) while it is hashed.
QCoro::Task<QString> verifyAside(QString path, QString signature, QString publicKey);

}  // namespace UpdateSignature
