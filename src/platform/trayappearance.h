#pragma once

#include <QColor>
#include <QObject>
#include <qwindowdefs.h>

// What the desktop's system tray tells, or shows, of its panel's colours: the
// text colour a tray may name for the icons it holds, and the background its
// panel draws. Either is invalid where nothing is known.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed nothing is known.
class TrayAppearance : public QObject {
  Q_OBJECT

 public:
  virtual QColor textColor() = 0;
  virtual QColor background() = 0;
  // Looks at the panel again (it may have been drawn since, or changed its theme).
  virtual void refresh() = 0;
  // Whether the tray has taken the icon `window` into its panel. True where
  // that cannot be known, or where there is no tray to take it.
  virtual bool holdsIcon(WId window) {
    Q_UNUSED(window);
    return true;
  }

  static TrayAppearance& current();
  // Installs `appearance` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(TrayAppearance* appearance);

 Q_SIGNALS:
  // Another tray came, or the tray's colours changed.
  void changed();
};
