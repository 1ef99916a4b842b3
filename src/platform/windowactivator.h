#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

// A top-level window as the window manager lists it.
struct ClientWindow {
  quint64 id = 0;
  qint64 pid = 0;  // 0 when the window does not name its process
  QString title;
};

// Names one window of another program by what we know of it: the process
// that shows it, given as that process and then its parents (the nearest
// process that has a window is the one that showed it), and a title of ours
// that it carries.
struct WindowTarget {
  QList<qint64> processes;
  // Matched anywhere in a window's title, since some programs add their name
  // to the title they are given: it should not be a part of another title.
  QString title;

  // The window that carries the title, which nothing else does; when none
  // carries it (yet, or the program ignores titles), the window of the
  // nearest process that shows any, provided it shows only that one: a
  // process serving several windows could mean any of them.
  std::optional<quint64> pick(const QList<ClientWindow>& windows) const;
};

// Brings a window to the front: raised, restored when it was minimised, with
// the keyboard focus. Asked of the window manager, which may decline.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed no window can be activated.
class WindowActivator {
 public:
  virtual ~WindowActivator() = default;

  // A window of another program. False when no window matches `target`, or
  // there is no window manager to ask.
  virtual bool activate(const WindowTarget& target) = 0;
  // One of our own windows, by its native id, on the workspace the user is
  // on: a window left on another workspace moves here (the user stays where
  // they are). Asked before anything else activates the window, which could
  // take the user to the window's workspace first. False when there is no
  // window manager to ask.
  virtual bool activateHere(quint64 window) = 0;

  static WindowActivator& current();
  // Installs `activator` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(WindowActivator* activator);
};
