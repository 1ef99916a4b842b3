#include "mainwindow/cardcolumn.h"

#include <QWidget>

#include <algorithm>

CardColumn::CardColumn(QWidget* parent) : QLayout(parent) {}

CardColumn::~CardColumn() {
  while (!items_.isEmpty()) delete items_.takeLast();
}

void CardColumn::insertWidget(int index, QWidget* widget) {
  addChildWidget(widget);
  // The item the widget itself invalidates when its size hints change: its
  // answers stay cached until then.
  items_.insert(std::clamp<qsizetype>(index, 0, items_.size()), new QWidgetItemV2(widget));
  invalidate();
}

void CardColumn::addItem(QLayoutItem* item) {
  items_.append(item);
  invalidate();
}

QLayoutItem* CardColumn::itemAt(int index) const { return index >= 0 && index < items_.size() ? items_.at(index) : nullptr; }

QLayoutItem* CardColumn::takeAt(int index) {
  if (index < 0 || index >= items_.size()) return nullptr;
  QLayoutItem* item = items_.takeAt(index);
  invalidate();
  return item;
}

int CardColumn::count() const { return int(items_.size()); }

int CardColumn::heightOf(const QLayoutItem* item, int width) {
  if (item->isEmpty()) return -1;
  // A widget item's height for a width is within the widget's limits already.
  if (item->hasHeightForWidth()) return item->heightForWidth(width);
  return std::clamp(item->sizeHint().height(), item->minimumSize().height(), item->maximumSize().height());
}

int CardColumn::heightAt(int index, int width) const {
  const QLayoutItem* item = itemAt(index);
  return item ? std::max(0, heightOf(item, width - contentsMargins().left() - contentsMargins().right())) : 0;
}

QSize CardColumn::sizeHint() const {
  if (cachedSizeHint_.isValid()) return cachedSizeHint_;
  int width = 0;
  int height = 0;
  int shown = 0;
  for (const QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    const QSize hint = item->sizeHint();
    width = std::max(width, hint.width());
    height += hint.height();
    ++shown;
  }
  const QMargins margins = contentsMargins();
  cachedSizeHint_ = QSize(width + margins.left() + margins.right(),
                          height + std::max(0, shown - 1) * spacing() + margins.top() + margins.bottom());
  return cachedSizeHint_;
}

QSize CardColumn::minimumSize() const {
  if (cachedMinimumSize_.isValid()) return cachedMinimumSize_;
  int width = 0;
  for (const QLayoutItem* item : items_) {
    if (!item->isEmpty()) width = std::max(width, item->minimumSize().width());
  }
  const QMargins margins = contentsMargins();
  cachedMinimumSize_ = QSize(width + margins.left() + margins.right(), margins.top() + margins.bottom());
  return cachedMinimumSize_;
}

Qt::Orientations CardColumn::expandingDirections() const { return Qt::Horizontal; }

bool CardColumn::hasHeightForWidth() const { return true; }

int CardColumn::heightForWidth(int width) const {
  if (width == cachedWidth_) return cachedHeight_;
  const QMargins margins = contentsMargins();
  const int inner = width - margins.left() - margins.right();
  int height = 0;
  int shown = 0;
  for (const QLayoutItem* item : items_) {
    const int itemHeight = heightOf(item, inner);
    if (itemHeight < 0) continue;
    height += itemHeight;
    ++shown;
  }
  cachedWidth_ = width;
  cachedHeight_ = height + std::max(0, shown - 1) * spacing() + margins.top() + margins.bottom();
  return cachedHeight_;
}

int CardColumn::minimumHeightForWidth(int width) const { return heightForWidth(width); }

void CardColumn::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  const QRect inner = rect.marginsRemoved(contentsMargins());
  int y = inner.top();
  for (QLayoutItem* item : std::as_const(items_)) {
    const int height = heightOf(item, inner.width());
    if (height < 0) continue;
    item->setGeometry(QRect(inner.left(), y, inner.width(), height));
    y += height + spacing();
  }
}

void CardColumn::invalidate() {
  cachedWidth_ = -1;
  cachedSizeHint_ = QSize();
  cachedMinimumSize_ = QSize();
  QLayout::invalidate();
}
