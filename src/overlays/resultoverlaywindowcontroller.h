#pragma once

#include "overlays/resultoverlayviewmodel.h"

#include <QObject>
#include <QString>
#include <QTimer>

class OverlayPanel;
class ResultOverlayView;

// The result panel: the floating card for an answer that is not typed into
// the front application (a markdown answer of the agent, a result that could
// not be pasted, the OpenClaw agent's reply as it streams in, a stored answer
// reopened from the history). It floats near the bottom of the screen under
// the pointer, can be dragged by its background, counts down 30 seconds and
// then hides itself unless pinned, and offers copy, pin and close.
//
// Callers only ever call show(): it replaces whatever the panel showed and
// restarts the countdown. Only the panel itself hides (countdown, close,
// one second after a copy); a hide that was due for an earlier showing never
// hides a later one.
class ResultOverlayWindowController : public QObject {
  Q_OBJECT

 public:
  static ResultOverlayWindowController& shared();

  void show(const QString& text, bool isMarkdown, bool pinned);
  void hide();
  // The copy chip: the text goes to the clipboard and the panel hides a
  // second later.
  void copyText();

  ResultOverlayViewModel& viewModel() { return viewModel_; }
  OverlayPanel* panel() const { return panel_; }
  ResultOverlayView* hostingView() const { return hostingView_; }
  bool isCountingDown() const { return dismissTimer_.isActive(); }

 private:
  ResultOverlayWindowController();
  void makePanel();
  void resizePanel();
  void positionPanel();
  void startCountdown();
  void tick();
  // Hides at the event loop's next turn, unless the panel was shown again.
  void hideLater(int delayMs);

  OverlayPanel* panel_ = nullptr;  // made on the first showing, never destroyed
  ResultOverlayView* hostingView_ = nullptr;
  QTimer dismissTimer_;
  ResultOverlayViewModel viewModel_;
  // Counts the showings, so that a delayed hide knows whether it is still due.
  quint64 showing_ = 0;
};
