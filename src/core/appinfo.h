#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// What the program knows about itself: its version, the service it talks to
// and the key it presents there.
//
// The service origin and the API key have build-time defaults (CMake cache
// variables VELTRINE_SERVICE_ORIGIN and VELTRINE_API_KEY). A user overrides them
// with the environment variables of the same names, or with "service_origin"
// and "api_key" in appinfo.json in the config folder; the environment wins.
namespace AppInfo {

// The short version, from the project version (for example "0.1.0").
QString shortVersion();

// The API key sent to the service; may be empty.
QString apiKey();

// The origin (scheme, host and port) of the Veltrine service, or nothing when
// the configured value is not acceptable (see isAcceptableServiceOrigin).
std::optional<QUrl> serviceOrigin();

// The configured origin text before it was checked.
QString configuredServiceOrigin();

// localhost, 127.0.0.0/8 or ::1.
bool isLoopbackHost(const QString& host);

// https origins are accepted for any host; plain http only for loopback hosts
// (localhost, 127.0.0.0/8, ::1), since requests carry the user's token. An
// origin may not carry a path other than "/", a query, a fragment or user info.
// `reason` receives a short English explanation of a refusal.
bool isAcceptableServiceOrigin(const QUrl& origin, QString* reason = nullptr);

// The update feed (an appcast: RSS whose items carry version tags), or nothing
// when none is configured or the configured one is not acceptable. Optional,
// without a build-time default: VELTRINE_APPCAST_URL, else "appcast_url" in
// appinfo.json.
std::optional<QUrl> appcastURL();

// The public key that signs the program's releases: base64 of a 32-byte
// Ed25519 key, or empty when none is configured (nothing is then installed).
// VELTRINE_UPDATE_PUBLIC_KEY in the environment, else "update_public_key" in
// appinfo.json, else the CMake cache variable of the same name.
QString updatePublicKey();

// Where the program may fetch update files from: https from any host, plain
// http only from loopback hosts; no user info.
bool isAcceptableDownloadURL(const QUrl& url);

}  // namespace AppInfo
