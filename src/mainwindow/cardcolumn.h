#pragma once

#include <QLayout>
#include <QList>

// A column of widgets as wide as the layout, each as tall as it asks for at
// that width, with spacing between them: the history page's list of cards.
//
// Unlike a box layout it asks each widget for its height through the widget's
// own cached answer: a box layout works out every card's minimum height again,
// down to the text layout of every label, whenever any card comes or goes,
// which makes one new card in a list of hundreds cost hundreds of milliseconds.
// Here a change costs the changed card's layout and the placing of the others.
class CardColumn : public QLayout {
  Q_OBJECT

 public:
  explicit CardColumn(QWidget* parent = nullptr);
  ~CardColumn() override;

  void insertWidget(int index, QWidget* widget);
  // The height the item at `index` takes in a column `width` wide.
  int heightAt(int index, int width) const;

  void addItem(QLayoutItem* item) override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  int count() const override;

  QSize sizeHint() const override;
  QSize minimumSize() const override;
  Qt::Orientations expandingDirections() const override;
  bool hasHeightForWidth() const override;
  int heightForWidth(int width) const override;
  int minimumHeightForWidth(int width) const override;
  void setGeometry(const QRect& rect) override;
  void invalidate() override;

 private:
  // The height of one item at the column's inner width.
  static int heightOf(const QLayoutItem* item, int width);

  QList<QLayoutItem*> items_;
  mutable int cachedWidth_ = -1;
  mutable int cachedHeight_ = 0;
  mutable QSize cachedSizeHint_;
  mutable QSize cachedMinimumSize_;
};
