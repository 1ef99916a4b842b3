#include "platform/linux/desktopurlopener.h"

#include <QDesktopServices>

bool DesktopUrlOpener::open(const QUrl& url) { return url.isValid() && QDesktopServices::openUrl(url); }
