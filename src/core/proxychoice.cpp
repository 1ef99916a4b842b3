#include "core/proxychoice.h"

#include "core/appinfo.h"

#include <QNetworkProxyFactory>

namespace ProxyChoice {

namespace {

// no_proxy as curl and wget read it: "*" exempts every host, and a name
// exempts itself and every host below it, with or without a leading dot. The
// factory's libproxy takes neither ("*" is ignored, a bare name covers that
// host alone); entries with a port or an address range are left to it.
bool exemptedByNoProxy(const QString& host) {
  QByteArray list = qgetenv("no_proxy");
  if (list.isEmpty()) list = qgetenv("NO_PROXY");
  const QString name = host.toLower();
  for (const QByteArray& item : list.split(',')) {
    QString entry = QString::fromUtf8(item).trimmed().toLower();
    if (entry == QStringLiteral("*")) return true;
    if (entry.contains(u':') || entry.contains(u'/')) continue;
    if (entry.startsWith(u'.')) entry.remove(0, 1);
    if (!entry.isEmpty() && (name == entry || name.endsWith(u'.' + entry))) return true;
  }
  return false;
}

}  // namespace

QNetworkProxy forUrl(const QUrl& url) {
  // A proxy cannot reach this machine's own services.
  if (AppInfo::isLoopbackHost(url.host())) return QNetworkProxy::NoProxy;
  if (exemptedByNoProxy(url.host())) return QNetworkProxy::NoProxy;
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
