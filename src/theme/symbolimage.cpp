#include "theme/symbolimage.h"

#include "theme/devicepixels.h"
#include "theme/themelogging.h"

#include <QDir>
#include <QFile>
#include <QIconEngine>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <cmath>

namespace {

QString resourcePath(const QString& name) { return QStringLiteral(":/icons/symbols/%1.svg").arg(name); }

// Renders the drawing into a square image of `side` device pixels and paints
// every covered pixel in `color`, keeping the drawing's edges (alpha).
QImage renderTinted(const QString& name, int side, const QColor& color) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QSvgRenderer renderer(resourcePath(name));
  if (!renderer.isValid()) return QImage();
  QPainter painter(&image);
  renderer.render(&painter, QRectF(0, 0, side, side));
  painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  painter.fillRect(image.rect(), color);
  return image;
}

class SymbolIconEngine : public QIconEngine {
 public:
  SymbolIconEngine(QString name, QColor color) : name_(std::move(name)), color_(color) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    QColor color = color_;
    if (mode == QIcon::Disabled) color.setAlphaF(color.alphaF() * 0.4f);
    SymbolImage::paint(*painter, rect, name_, color);
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap result(size);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return result;
  }

  QIconEngine* clone() const override { return new SymbolIconEngine(name_, color_); }
  QString key() const override { return QStringLiteral("VeltrineSymbol"); }
  QString iconName() override { return name_; }
  bool isNull() override { return !SymbolImage::exists(name_); }

 private:
  QString name_;
  QColor color_;
};

}  // namespace

bool SymbolImage::exists(const QString& name) { return !name.isEmpty() && QFile::exists(resourcePath(name)); }

bool SymbolImage::hasFillVariant(const QString& name) { return exists(name + QStringLiteral(".fill")); }

QString SymbolImage::filledOrSelf(const QString& name) {
  return hasFillVariant(name) ? name + QStringLiteral(".fill") : name;
}

QStringList SymbolImage::names() {
  QStringList names;
  for (const QString& file : QDir(QStringLiteral(":/icons/symbols")).entryList({QStringLiteral("*.svg")}, QDir::Files)) {
    names.append(file.chopped(4));
  }
  names.sort();
  return names;
}

QByteArray SymbolImage::drawing(const QString& name) {
  QFile file(resourcePath(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qreal SymbolImage::boxSide(qreal pointSize) {
  // The drawings fill about five sixths of their square.
  return std::round(pointSize * 1.2);
}

QPixmap SymbolImage::pixmap(const QString& name, qreal pointSize, const QColor& color, qreal devicePixelRatio) {
  return tinted(name, boxSide(pointSize), color, devicePixelRatio);
}

QPixmap SymbolImage::tinted(const QString& name, qreal side, const QColor& color, qreal devicePixelRatio) {
  const int pixels = std::max(1, int(std::lround(side * devicePixelRatio)));
  const QString key = QStringLiteral("symbol:%1:%2:%3").arg(name).arg(pixels).arg(quint64(color.rgba64()), 16, 16);
  QPixmap cached;
  if (QPixmapCache::find(key, &cached)) return cached;
  if (!exists(name)) {
    qCWarning(lcTheme) << "no symbol named" << name;
    return QPixmap();
  }
  QPixmap result = QPixmap::fromImage(renderTinted(name, pixels, color));
  result.setDevicePixelRatio(devicePixelRatio);
  QPixmapCache::insert(key, result);
  return result;
}

QIcon SymbolImage::icon(const QString& name, const QColor& color) { return QIcon(new SymbolIconEngine(name, color)); }

void SymbolImage::paint(QPainter& painter, const QRectF& box, const QString& name, const QColor& color) {
  const qreal side = std::min(box.width(), box.height());
  if (side <= 0) return;
  const qreal ratio = DevicePixels::ratio(painter);
  const QPixmap image = tinted(name, side, color, ratio);
  if (image.isNull()) return;
  QRectF target(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
  if (painter.worldTransform().type() <= QTransform::TxTranslate) {
    // Copied pixel for pixel (a symbol 13 wide at a ratio of 1.25 is 16
    // device pixels, not 16.25), from the corner of a device pixel: a symbol
    // half a pixel off would be resampled into a blur.
    const QSizeF shown = image.deviceIndependentSize();
    target = QRectF(DevicePixels::rounded(painter, box.center() - QPointF(shown.width(), shown.height()) / 2), shown);
  }
  painter.drawPixmap(target, image, QRectF(image.rect()));
}
