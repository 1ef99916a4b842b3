#pragma once

#include <QObject>

// Whether a compositing manager runs on the desktop. Without one a window
// cannot be see-through: where a translucent window is clear the screen shows
// black, so the floating panels cut their windows to their rounded outlines
// instead, and only while no compositor runs.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed a compositor is taken to run
// (windows keep their translucency and no shape).
class CompositorPresence : public QObject {
  Q_OBJECT

 public:
  virtual bool isCompositing() = 0;

  static CompositorPresence& current();
  // Installs `presence` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(CompositorPresence* presence);

 Q_SIGNALS:
  // A compositor started or ended.
  void compositingChanged(bool compositing);
};
