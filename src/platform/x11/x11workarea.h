#pragma once

#include "platform/workarea.h"

#include <QByteArray>
#include <QList>
#include <QRect>

#include <array>
#include <memory>

class QSocketNotifier;
struct _XDisplay;

// Where the window manager publishes its work area (_NET_WORKAREA), Qt's
// reading of it. Where it publishes none (i3; KWin while no dock reserves
// space) the free area of a monitor is the monitor less what the docks keep:
// each shown window with a strut (_NET_WM_STRUT_PARTIAL, else _NET_WM_STRUT)
// keeps its strut and the place it takes on screen, on the edge its strut
// names. i3 stacks its docks along an edge, each as high as its window, and
// its bar's strut counts from the screen's edge as if it were alone there:
// the places the docks take tell what i3 leaves free.
//
// A private connection follows a work area that the window manager starts or
// stops publishing and, while it publishes none, docks that come, go or move
// and a dock's strut that changes. Without a display it is Qt's reading.
class X11WorkArea final : public WorkArea {
  Q_OBJECT

 public:
  explicit X11WorkArea(QByteArray displayName = {});
  ~X11WorkArea() override;

  QRect freeArea(const QScreen& screen) override;

 private:
  // A dock as it shows: its strut as it publishes it (left, right, top,
  // bottom, then the start and end of each along its edge), and the place
  // its top-level window (the window manager's frame, or the dock itself)
  // takes on screen.
  struct Dock {
    unsigned long topLevel = 0;
    std::array<long, 12> strut{};
    QRect place;
    bool operator==(const Dock&) const = default;
  };

  void drainEvents();
  // Reads whether the window manager publishes a work area and, while it
  // does not, every dock shown; says whether either changed.
  bool readDesktop();
  QList<Dock> readDocks();
  bool isDock(unsigned long topLevel) const;
  QList<Reserved> reservedBands() const;

  _XDisplay* display_ = nullptr;
  unsigned long workAreaAtom_ = 0;
  unsigned long strutAtom_ = 0;
  unsigned long partialStrutAtom_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool published_ = true;
  QList<Dock> docks_;
};
