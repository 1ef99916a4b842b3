#pragma once

#include "platform/panelwindowrole.h"

#include <QWindow>

#include <algorithm>
#include <vector>

// Records each window marked as a panel, and whether it was already shown
// then (too late for a window manager to learn of it); installed for its
// lifetime.
class FakePanelWindowRole final : public PanelWindowRole {
 public:
  struct Marking {
    const QWindow* window;
    bool whileShown;
  };

  FakePanelWindowRole() { install(this); }
  ~FakePanelWindowRole() override { install(nullptr); }

  void markAsPanel(QWindow& window) override { markings.push_back({&window, window.isVisible()}); }

  long count(const QWindow* window, bool whileShown) const {
    return std::count_if(markings.begin(), markings.end(),
                         [&](const Marking& m) { return m.window == window && m.whileShown == whileShown; });
  }

  std::vector<Marking> markings;
};
