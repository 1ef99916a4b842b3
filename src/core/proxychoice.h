#pragma once

#include <QNetworkProxy>
#include <QUrl>

// Which way a connection to a URL goes out: through the proxy the desktop
// names for that URL, or directly.
namespace ProxyChoice {

// The desktop's answer for this very URL (QNetworkProxyFactory asked by URL,
// not by host and port), so that https addresses take https_proxy /
// HTTPS_PROXY, no_proxy (read as curl reads it: "*" for every host, a name
// for itself and the hosts below it) and the desktop's own settings or PAC
// file apply, as the application's proxy factory reports them; the program
// sets that factory to the system configuration at start. Of the answers, the
// first a plain TCP
// connection can use: no proxy, an HTTP proxy (reached with CONNECT, for http
// and https alike) or a SOCKS 5 proxy; a caching-only proxy is passed over.
// Loopback hosts are always reached directly.
QNetworkProxy forUrl(const QUrl& url);

}  // namespace ProxyChoice
