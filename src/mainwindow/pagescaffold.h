#pragma once

#include <QWidget>

class QBoxLayout;
class QHBoxLayout;
class QVBoxLayout;
class CyberDividerLine;

// The frame every page of the main window shares: the page background (the
// theme's gradient under faint scan lines), a header row padded 36 left and
// right and 24 above and below, a cyan divider, and the page's content below,
// filling the rest.
class PageScaffold : public QWidget {
  Q_OBJECT

 public:
  explicit PageScaffold(QWidget* parent = nullptr);

  // The header row: the page puts its title, a stretch and its item here.
  QHBoxLayout* headerLayout() const { return header_; }
  // The column under the divider; empty until the page fills it.
  QVBoxLayout* contentLayout() const { return content_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QHBoxLayout* header_;
  QVBoxLayout* content_;
};
