#pragma once

#include <QWidget>

struct AppStrings;

// The gallery's one page: sections for the palette, the fonts, the page
// scaffold, buttons, fields, cards and labels, and every symbol. The sample
// texts come from `strings`, the table of one interface language, so the page
// shows how the theme draws that language. It paints the page background
// (gradient under scan lines) itself, as the program's pages do.
class GalleryPage : public QWidget {
  Q_OBJECT

 public:
  explicit GalleryPage(const AppStrings& strings, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
