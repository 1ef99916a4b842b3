#pragma once

#include <QAbstractButton>
#include <QString>

// One entry of the sidebar: a selection bar at its leading edge, the symbol,
// the label. The selected entry is drawn in cyan on a faint cyan-to-green
// wash, its bar glowing and its symbol in the filled form when the icon set
// has one; the others in the secondary text colour on nothing.
//
// The widget spans the sidebar's width; the entry itself sits 14 in from
// either side, so the bar's glow has room. A click runs the button's clicked().
class SidebarItem : public QAbstractButton {
  Q_OBJECT

 public:
  SidebarItem(const QString& icon, const QString& label, QWidget* parent = nullptr);

  QString icon() const { return icon_; }
  QString label() const { return text(); }
  void setLabel(const QString& label);
  bool isSelected() const { return selected_; }
  void setSelected(bool selected);

  // The symbol drawn now: "<icon>.fill" while selected when it exists.
  QString shownIcon() const;

  QSize sizeHint() const override;

  static constexpr int outerPadding = 14;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString icon_;
  bool selected_ = false;
};
