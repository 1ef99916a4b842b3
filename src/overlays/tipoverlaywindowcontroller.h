#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariantAnimation>

class OverlayPanel;

// The tip: a slim cyan notice near the bottom of the screen under the pointer
// with a line or two of text (a service error, the credits-exhausted message,
// a tip the service answers with). It stays four seconds, then fades out over
// 0.35 s; its close button starts the fade at once.
//
// A tip presented while another is shown (or fading) replaces it at full
// opacity and lives its own four seconds.
class TipOverlayWindowController : public QObject {
  Q_OBJECT

 public:
  static constexpr int kDismissMs = 4000;
  static constexpr int kFadeMs = 350;

  static TipOverlayWindowController& shared();

  // Callable from any thread: the tip is presented on the main thread at its
  // next turn, so the call returns at once.
  static void show(const QString& message);

  // Main thread: shows the tip now.
  void present(const QString& message);
  // Starts the fade; the panel is hidden when it ends.
  void dismiss();

  OverlayPanel* panel() const { return panel_; }
  bool isDismissPending() const { return dismissTimer_.isActive(); }
  bool isFading() const { return fade_.state() == QAbstractAnimation::Running; }

 private:
  TipOverlayWindowController();
  void makePanel();

  OverlayPanel* panel_ = nullptr;  // made on the first showing, never destroyed
  QTimer dismissTimer_;
  QVariantAnimation fade_;
};
