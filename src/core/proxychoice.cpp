#include "core/proxychoice.h"

#include "core/appinfo.h"

#include <QNetworkProxyFactory>

namespace ProxyChoice {

QNetworkProxy forUrl(const QUrl& url) {
  // A proxy cannot reach this machine's own services.
  if (AppInfo::isLoopbackHost(url.host())) return QNetworkProxy::NoProxy;
  const QList<QNetworkProxy> answers = QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(url));
  for (const QNetworkProxy& proxy : answers) {
    // A proxy that only caches whole HTTP exchanges cannot carry a connection of ours.
    if (proxy.type() != QNetworkProxy::DefaultProxy && proxy.capabilities().testFlag(QNetworkProxy::TunnelingCapability)) {
      return proxy;
    }
  }
  return QNetworkProxy::NoProxy;
}

}  // namespace ProxyChoice
