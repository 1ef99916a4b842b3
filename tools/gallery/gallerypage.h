#pragma once

#include <QWidget>

// The gallery's one page: sections for the palette, the fonts, the page
// scaffold, buttons, fields, cards and labels, and every symbol. It paints the
// page background (gradient under scan lines) itself, as the program's pages do.
class GalleryPage : public QWidget {
  Q_OBJECT

 public:
  explicit GalleryPage(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
