#include "mainwindow/popover.h"

#include "localization/languagemanager.h"
#include "theme/accessiblepopups.h"
#include "theme/palette.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>

Popover::Popover(QWidget* anchor, ArrowEdge edge, QWidget* content)
    : QWidget(anchor ? anchor->window() : nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
      anchor_(anchor),
      edge_(edge),
      content_(content) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QHBoxLayout(this);
  layout->setSpacing(0);
  // Room for the arrow on the side that faces the anchor.
  if (edge_ == ArrowEdge::top) {
    layout->setContentsMargins(0, 0, 0, arrowLength);
  } else {
    layout->setContentsMargins(arrowLength, 0, 0, 0);
  }
  layout->setSizeConstraint(QLayout::SetFixedSize);
  content_->setParent(this);
  layout->addWidget(content_);
  AccessiblePopups::expose(this);
  // After the content has taken the new language's texts.
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this,
          [this] { setAccessibleName(content_->accessibleName()); }, Qt::QueuedConnection);
}

QRect Popover::placement() const {
  const QSize size = sizeHint();
  if (!anchor_) return QRect(QPoint(0, 0), size);
  const QRect anchorRect(anchor_->mapToGlobal(QPoint(0, 0)), anchor_->size());
  QRect place(QPoint(0, 0), size);
  if (edge_ == ArrowEdge::top) {
    place.moveBottom(anchorRect.top() - 2);
    place.moveLeft(anchorRect.center().x() - size.width() / 2);
  } else {
    place.moveLeft(anchorRect.right() + 3);
    place.moveTop(anchorRect.center().y() - size.height() / 2);
  }
  if (const QScreen* screen = anchor_->screen()) {
    const QRect room = screen->availableGeometry();
    place.moveLeft(std::clamp(place.left(), room.left(), std::max(room.left(), room.right() - size.width() + 1)));
    place.moveTop(std::clamp(place.top(), room.top(), std::max(room.top(), room.bottom() - size.height() + 1)));
  }
  return place;
}

void Popover::present() {
  setAccessibleName(content_->accessibleName());
  adjustSize();
  const QRect place = placement();
  aimArrow(place);
  setGeometry(place);
  show();
  raise();
}

void Popover::aimArrow(const QRect& place) {
  if (anchor_) {
    const QPoint anchorCentre = anchor_->mapToGlobal(anchor_->rect().center());
    const int margin = int(cornerRadius) + arrowWidth / 2;
    if (edge_ == ArrowEdge::top) {
      arrowOffset_ = std::clamp(anchorCentre.x() - place.left(), margin, std::max(margin, place.width() - margin));
    } else {
      arrowOffset_ = std::clamp(anchorCentre.y() - place.top(), margin, std::max(margin, place.height() - margin));
    }
  }
}

QPainterPath Popover::bubble() const {
  QRectF body = QRectF(rect());
  QPolygonF arrow;
  const qreal half = arrowWidth / 2.0;
  if (edge_ == ArrowEdge::top) {
    body.setBottom(body.bottom() - arrowLength);
    arrow << QPointF(arrowOffset_ - half, body.bottom() - 1) << QPointF(arrowOffset_, rect().bottom() + 1)
          << QPointF(arrowOffset_ + half, body.bottom() - 1);
  } else {
    body.setLeft(body.left() + arrowLength);
    arrow << QPointF(body.left() + 1, arrowOffset_ - half) << QPointF(0, arrowOffset_)
          << QPointF(body.left() + 1, arrowOffset_ + half);
  }
  QPainterPath path;
  path.addRoundedRect(body, cornerRadius, cornerRadius);
  QPainterPath tip;
  tip.addPolygon(arrow);
  tip.closeSubpath();
  return path.united(tip);
}

void Popover::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Content that grows once it is shown (a list that has finished loading)
  // would otherwise hang past the screen's edge or away from its anchor.
  if (isVisible()) {
    const QRect place = placement();
    aimArrow(place);
    if (place.topLeft() != pos()) move(place.topLeft());
  }
  // Without a compositor a translucent window shows black where it is clear:
  // the window takes the bubble's shape instead.
  setMask(QRegion(bubble().toFillPolygon().toPolygon()));
}

void Popover::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath path = bubble();
  painter.fillPath(path, Palette::cyberPanelBg);
  painter.setPen(QPen(Palette::withOpacity(Palette::neonCyan, 0.25), 1));
  painter.drawPath(path);
}

void Popover::mousePressEvent(QMouseEvent* event) {
  if (!rect().contains(event->position().toPoint()) && anchor_) {
    const QPoint onAnchor = anchor_->mapFromGlobal(event->globalPosition().toPoint());
    if (anchor_->rect().contains(onAnchor)) setAttribute(Qt::WA_NoMouseReplay);
  }
  QWidget::mousePressEvent(event);
}

void Popover::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  Q_EMIT dismissed();
}
