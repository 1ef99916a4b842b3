#include "platform/linux/desktopstatusicon.h"

#include "core/logging.h"
#include "core/paths.h"
#include "core/privatefile.h"
#include "platform/linux/dbusmenuexporter.h"
#include "platform/linux/statusnotifieritem.h"
#include "platform/trayappearance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QCursor>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtEndian>

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
// The sizes trays ask for, from small panels to large ones and scaled screens.
constexpr int kSizes[] = {16, 22, 24, 32, 48, 64};
// A tray takes an icon within milliseconds; one that has not after this long
// missed the request.
constexpr int kDockCheckMs = 500;
constexpr int kDockChecks = 6;

QImage render(const QByteArray& drawing, int side) {
  QImage image(side, side, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QSvgRenderer renderer(drawing);
  {
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, side, side));
  }
  return image;
}

QList<DBusStatusImage> pixmaps(const QByteArray& drawing) {
  QList<DBusStatusImage> images;
  for (int side : kSizes) {
    const QImage image = render(drawing, side);
    QByteArray argb(image.sizeInBytes(), Qt::Uninitialized);
    // ARGB32 in network byte order, as the hosts read it.
    qToBigEndian<quint32>(image.constBits(), image.width() * image.height(), argb.data());
    images << DBusStatusImage{side, side, argb};
  }
  return images;
}

QIcon icon(const QByteArray& drawing) {
  QIcon icon;
  for (int side : kSizes) icon.addPixmap(QPixmap::fromImage(render(drawing, side)));
  return icon;
}

}  // namespace

DesktopStatusIcon::DesktopStatusIcon(QDBusConnection bus)
    : bus_(std::move(bus)), watcher_(kWatcher, bus_, QDBusServiceWatcher::WatchForRegistration),
      popup_(std::make_unique<QMenu>()) {
  connect(popup_.get(), &QMenu::aboutToShow, this, &StatusIcon::menuAboutToShow);
  // A panel that starts again starts a new watcher, which knows no items.
  connect(&watcher_, &QDBusServiceWatcher::serviceRegistered, this, [this] {
    if (item_) item_->registerWithWatcher();
  });
  connect(&TrayAppearance::current(), &TrayAppearance::changed, this, [this] {
    present();
    // Qt docks the icon anew with a new tray.
    if (tray_) watchDocking();
  });
}

DesktopStatusIcon::~DesktopStatusIcon() = default;

void DesktopStatusIcon::setImages(const Images& images) {
  images_ = images;
  present();
}

void DesktopStatusIcon::setRecording(bool recording) {
  recording_ = recording;
  present();
}

void DesktopStatusIcon::setMenu(const Menu& menu) {
  menu_ = menu;
  fillMenu(*popup_, menu_);
  if (item_) item_->menu().setMenu(menu_);
}

void DesktopStatusIcon::show() {
  if (shown_) return;
  shown_ = true;
  if (!bus_.isConnected()) {
    useSystemTray();
    return;
  }
  QDBusMessage question = QDBusMessage::createMethodCall(kWatcher, QStringLiteral("/StatusNotifierWatcher"),
                                                         QStringLiteral("org.freedesktop.DBus.Properties"),
                                                         QStringLiteral("Get"));
  question << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
  auto* answer = new QDBusPendingCallWatcher(bus_.asyncCall(question, 2000), this);
  connect(answer, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *call;
    if (reply.isValid() && reply.value().variant().toBool()) {
      useStatusNotifierItem();
    } else {
      useSystemTray();
    }
  });
}

void DesktopStatusIcon::useStatusNotifierItem() {
  item_ = std::make_unique<StatusNotifierItem>(bus_);
  if (!item_->isExported()) {
    item_.reset();
    useSystemTray();
    return;
  }
  item_->menu().setMenu(menu_);
  item_->menu().onChosen = [this](int index) { Q_EMIT entryChosen(index); };
  item_->menu().onAboutToShow = [this] { Q_EMIT menuAboutToShow(); };
  item_->onMenuAsked = [this] { popUpMenu(); };
  present();
  item_->registerWithWatcher();
}

void DesktopStatusIcon::useSystemTray() {
  tray_ = std::make_unique<QSystemTrayIcon>();
  tray_->setToolTip(QStringLiteral("Veltrine"));
  tray_->setContextMenu(popup_.get());
  // The right button opens the context menu by itself; the left one (and a
  // double click) opens the same menu.
  connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) popUpMenu();
  });
  present();
  tray_->show();
  watchDocking();
}

void DesktopStatusIcon::watchDocking() {
  const bool idle = dockChecksLeft_ == 0;
  dockChecksLeft_ = kDockChecks;
  if (idle) QTimer::singleShot(kDockCheckMs, this, &DesktopStatusIcon::checkDocked);
}

void DesktopStatusIcon::checkDocked() {
  if (!tray_ || dockChecksLeft_ <= 0) return;
  --dockChecksLeft_;
  const WId window = xembedIconWindow();
  if (window && !TrayAppearance::current().holdsIcon(window)) {
    qCInfo(lcAppDelegate, "status icon: the tray did not take the icon; asking again");
    tray_->hide();
    tray_->show();
  }
  if (dockChecksLeft_ > 0) QTimer::singleShot(kDockCheckMs, this, &DesktopStatusIcon::checkDocked);
}

WId DesktopStatusIcon::xembedIconWindow() {
  for (const QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String("QSystemTrayIconSys") && widget->isVisible()) {
      return widget->internalWinId();
    }
  }
  return 0;
}

QByteArray DesktopStatusIcon::drawing() {
  if (recording_) return images_.recording;
  TrayAppearance& tray = TrayAppearance::current();
  tray.refresh();
  const QColor fallback = QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText);
  return filled(images_.idle, idleColor(tray.textColor(), tray.background(), fallback));
}

void DesktopStatusIcon::present() {
  if ((!item_ && !tray_) || images_.idle.isEmpty()) return;
  const QByteArray image = drawing();
  if (tray_) {
    tray_->setIcon(icon(image));
    return;
  }
  // A name per image, so that no host keeps showing a former image under it.
  const QByteArray hash = QCryptographicHash::hash(image, QCryptographicHash::Sha1);
  const QString digest = QString::fromLatin1(hash.toHex().left(12));
  const QString name = recording_ ? QStringLiteral("veltrine-recording-") + digest
                                  : QStringLiteral("veltrine-idle-%1-symbolic").arg(digest);
  const QString folder = iconFolderWith(name, image);
  item_->setIcon(folder.isEmpty() ? QString() : name, folder, pixmaps(image));
}

QString DesktopStatusIcon::iconFolderWith(const QString& name, const QByteArray& drawing) const {
  const QString temporary = Paths::temporaryDirectory();
  if (temporary.isEmpty()) return {};
  const QString folder = temporary + QStringLiteral("/status-icons");
  if (!Paths::ensureDirectory(folder)) return {};
  const QString path = folder + u'/' + name + QStringLiteral(".svg");
  if (!QFile::exists(path) && !PrivateFile::writeAtomically(path, drawing)) return {};
  return folder;
}

void DesktopStatusIcon::popUpMenu() {
  // At the pointer, which has just clicked the icon: hosts that ask the item
  // to show its menu give positions of every kind (MATE's x is 0).
  popup_->popup(QCursor::pos());
}
