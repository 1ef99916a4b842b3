#pragma once

#include <QList>
#include <QObject>
#include <QRect>

class QScreen;

// The part of a screen that the desktop's docks and panels leave free for
// windows, in Qt's logical pixels (as QScreen gives the screen's geometry).
//
// The program installs the real implementation at start-up (app/); tests
// install a fake or the real one. Until something is installed it is what Qt
// reads from the window manager's work area (QScreen::availableGeometry).
class WorkArea : public QObject {
  Q_OBJECT

 public:
  // A band along one edge of the whole X screen that a dock keeps for itself
  // (the dock's strut), in the X server's pixels.
  struct Reserved {
    Qt::Edge edge;
    QRect band;
  };

  virtual QRect freeArea(const QScreen& screen) = 0;

  // What `bands` leave of `monitor` (both in the X server's pixels): each band
  // that reaches into the monitor cuts it back from that band's edge.
  static QRect leftFree(const QRect& monitor, const QList<Reserved>& bands);

  static WorkArea& current();
  // Installs `area` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(WorkArea* area);

 Q_SIGNALS:
  // The free area changed in a way that Qt's screens do not tell: a dock came
  // or went where the window manager publishes no work area.
  void changed();
};
