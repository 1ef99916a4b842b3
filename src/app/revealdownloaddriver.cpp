#include "app/revealdownloaddriver.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void RevealDownloadDriver::showDownloadedUpdate(const AppcastItem&, const QString& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}
