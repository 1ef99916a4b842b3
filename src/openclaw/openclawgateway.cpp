#include "openclaw/openclawgateway.h"

namespace OpenClawGateway {

QUrl defaultURL() { return QUrl(QStringLiteral("http://127.0.0.1:18789")); }

QUrl endpoint(const QUrl& base, const QString& relativePath) {
  QUrl url = base;
  QString path = base.path();
  if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  url.setPath(path + relativePath);
  return url;
}

}  // namespace OpenClawGateway
