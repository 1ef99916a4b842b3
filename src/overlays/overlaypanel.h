#pragma once

#include "overlays/dissolvemasks.h"
#include "overlays/panelplacement.h"

#include <QPointer>
#include <QSize>
#include <QWidget>

// A borderless panel that floats above every application on every workspace
// without ever taking the focus from the application the user types into.
// Each floating overlay owns one, made on its first showing and reused for the
// life of the program; showing and hiding never destroy it.
//
// The panel is a tool window that stays on top and is shown without
// activation: the copy and paste keys of the next request must reach the
// user's application, never one of our panels. What it is to the window
// manager is told before each showing (PanelWindowRole). Its buttons, links,
// mouse selection and dragging work without the focus. A panel that can
// become key (the result panel) takes the keyboard only while the user works
// inside it: a press on a widget that takes the focus on a click (its
// selectable text) lends it the keyboard (PanelKeyboard), so that the copy
// key copies what they selected there; buttons and the background leave the
// keyboard where it is. Hiding gives it back. The result panel can be dragged
// by its background. A panel that ignores the mouse lets every click through
// to the window below.
//
// Fading changes the window's opacity (never a graphics effect, which would
// flatten the glowing widgets inside).
//
// Where no compositor runs, the clear parts of the window would show black:
// the window then takes the outline of the card its view draws (an X shape),
// and goes back to a plain rectangle when a compositor starts. Its opacity
// does not show then either, so a fading panel also dissolves: its shape
// keeps fewer and fewer of the card's pixels.
class OverlayPanel : public QWidget {
  Q_OBJECT

 public:
  struct Settings {
    QSize size;
    bool ignoresMouse = false;
    bool movableByBackground = false;
    bool canBecomeKey = false;
  };

  explicit OverlayPanel(const Settings& settings);

  const Settings& settings() const { return settings_; }

  // Puts `view` in the panel, filling it; the previous view is deleted (later,
  // at the event loop's next turn). An OverlayContentView gives the outline.
  void setContentView(QWidget* view);
  QWidget* contentView() const { return content_; }

  // Resizes the panel (and its view) to `size`.
  void setContentSize(const QSize& size);

  // Moves the panel onto the screen under the pointer by `placement`; without
  // any screen it stays where it is. On a screen too small for the size last
  // asked for, the panel is made as large as the screen's free area allows.
  void place(const PanelPlacement& placement);

  // Where no compositor runs, lets the desktop show through `share` (0 to 1)
  // of the card, spread evenly over it, as a fade to that share would; 0 is
  // the whole card. Hiding the panel makes it whole for its next showing.
  void setDissolve(qreal share);

  // Shows the panel in front of every window without activating it.
  void orderFrontRegardless();
  // Hides the panel; it stays ready for the next showing.
  void orderOut();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // Cuts the window to the view's outline while no compositor runs.
  void updateShape();

  // Resizes the panel and its view, keeping the size asked for.
  void resizeTo(const QSize& size);

  Settings settings_;
  // The size the panel's owner asked for; the panel may be smaller on a small screen.
  QSize wantedSize_;
  QPointer<QWidget> content_;
  DissolveMasks dissolveMasks_;
  int dissolveLevel_ = 0;
  // Where the pointer holds the panel during a drag.
  std::optional<QPoint> dragOffset_;
};
