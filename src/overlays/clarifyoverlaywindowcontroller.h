#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>

class OverlayPanel;

// The clarifying question the service asks instead of answering: a yellow card
// just below the place of the recording indicator, for five seconds. It only
// informs: clicks pass through it to the window underneath.
//
// A new question replaces the card, is placed again under the pointer and
// gets its own five seconds.
class ClarifyOverlayWindowController : public QObject {
  Q_OBJECT

 public:
  static constexpr int kDismissMs = 5000;

  static ClarifyOverlayWindowController& shared();

  void show(const QString& question);
  void hide();

  OverlayPanel* panel() const { return panel_; }
  bool isDismissPending() const { return dismissTimer_.isActive(); }

 private:
  ClarifyOverlayWindowController();
  void makePanel();

  OverlayPanel* panel_ = nullptr;  // made on the first showing, never destroyed
  QTimer dismissTimer_;
};

// The panel for a question: 360 wide, 22 per started line of 28 characters
// (as the reader counts them) and 54 more, between 90 and 140 high.
QSize clarifyPanelSize(const QString& question);
