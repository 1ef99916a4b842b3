#pragma once

#include "platform/trayappearance.h"

#include <QByteArray>

#include <memory>

class QSocketNotifier;
struct _XDisplay;

// The system tray of the screen is the owner of the selection
// _NET_SYSTEM_TRAY_S<screen>. A tray that wants its icons in its panel's text
// colour names that colour in _NET_SYSTEM_TRAY_COLORS on the owner's window
// (Xfce's, MATE's and polybar's do); others say nothing (tint2, lxpanel,
// LXQt's, trayer), and then the panel is looked at: the largest window on
// screen of the tray's own client, or the one that holds such a window, read
// back from the X server. Its background is the colour of the median
// lightness, so that text, icons and a gradient do not move it. Where the
// tray's owner shows no window of its own (Plasma's tray is part of its panel,
// and xembedsniproxy or nobody owns the XEmbed tray), the largest dock on
// screen is the panel the icon is on.
//
// A private connection follows the owner (XFixes) and its colours (property
// changes), so another tray or a new theme is noticed at once.
//
// An icon the tray has taken is a child of one of the tray's windows (XEmbed
// reparents it); one that still hangs from the root window was not taken.
class X11TrayAppearance final : public TrayAppearance {
 public:
  explicit X11TrayAppearance(QByteArray displayName = {});
  ~X11TrayAppearance() override;

  QColor textColor() override { return textColor_; }
  QColor background() override { return background_; }
  void refresh() override;
  bool holdsIcon(WId window) override;

 private:
  void drainEvents();
  void followOwner();
  QColor readTextColor();
  QColor readBackground();
  QColor readTrayBackground();
  QColor readDockBackground();

  _XDisplay* display_ = nullptr;
  unsigned long selection_ = 0;
  unsigned long colorsAtom_ = 0;
  unsigned long dockAtom_ = 0;
  unsigned long owner_ = 0;
  int fixesEventBase_ = 0;
  QColor textColor_;
  QColor background_;
  std::unique_ptr<QSocketNotifier> notifier_;
};
