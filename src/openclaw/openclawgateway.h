#pragma once

#include <QString>
#include <QUrl>

// The local OpenClaw gateway's address: plain HTTP on the loopback address,
// port 18789, without a path.
namespace OpenClawGateway {

QUrl defaultURL();

// `base` with `relativePath` ("v1/models") appended as path components.
QUrl endpoint(const QUrl& base, const QString& relativePath);

}  // namespace OpenClawGateway
