#pragma once

#include <QString>

// What the request flow and the agent bridge ask of the floating panels: the
// recording indicator, the result panel, the clarifying question and the tip.
// The panels themselves live above those layers (they watch the recorder), so
// the lower layers reach them through this interface; the program installs the
// panels' controllers at start-up and tests install a recorder of calls.
// Until something is installed every call does nothing. Main thread only.
class OverlayPresenter {
 public:
  virtual ~OverlayPresenter() = default;

  // The recording indicator: shown without taking the focus, hidden and kept.
  virtual void showRecordingOverlay() = 0;
  virtual void hideRecordingOverlay() = 0;

  // The result panel, as plain text or markdown; it dismisses itself after its
  // countdown unless pinned.
  virtual void showResult(const QString& text, bool isMarkdown, bool pinned) = 0;

  // The clarifying-question panel (dismisses itself after a few seconds).
  virtual void showClarify(const QString& question) = 0;

  // The tip panel; presented later on the main queue, so the call returns at once.
  virtual void showTip(const QString& message) = 0;

  static OverlayPresenter& current();
  // Installs `presenter` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(OverlayPresenter* presenter);
};
