#pragma once

#include "mainwindow/keycapturerecognizer.h"
#include "mainwindow/qtkeytranslator.h"

#include <QWidget>

#include <functional>

class KeyboardTap;

// An invisible view that records one new hotkey. While active it watches every
// key press and modifier change, in this program and (through a keyboard tap
// of its own that grabs nothing) in every other application, and reports each
// combination to its owner: an ordinary key with the modifiers held, a lone
// modifier or a lone Fn pressed and let go, or Escape. The keys this program
// types itself (copy, paste) are never taken for the user's.
//
// While active, key presses in this program reach no control and trigger no
// shortcut; modifier changes pass as usual. Reports come on a later turn of the
// event loop, in the order of the key events, through the handlers current at
// that moment. The field never ends by itself: the owner turns it off.
//
// The program installs the tap at start-up (installGlobalTap). Without one, or
// when the desktop refuses it, the field captures only while this program is
// in front.
class KeyCaptureView : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool isActive READ isActive NOTIFY isActiveChanged)

 public:
  using KeyHandler = std::function<void(int keyCode, quint64 modifiers, bool requiresFn)>;
  using EscapeHandler = std::function<void()>;

  explicit KeyCaptureView(QWidget* parent = nullptr);
  ~KeyCaptureView() override;

  // Replaces the handlers, then starts or stops capturing as `isActive` says.
  using QWidget::update;
  void update(bool isActive, KeyHandler onKey, EscapeHandler onEscape);

  bool isActive() const { return isActive_; }
  // Whether combinations typed in other applications are seen too.
  bool capturesGlobally() const { return tapRunning_; }

  // The tap the field listens on while active (not owned; nullptr removes it).
  static void installGlobalTap(KeyboardTap* tap);

 Q_SIGNALS:
  void isActiveChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void startMonitoring();
  void stopMonitoring();
  void handleKeyEvent(const KeyTapEvent& event);
  void deliver(const KeyCaptureReport& report);

  bool isActive_ = false;
  bool monitoring_ = false;
  bool tapRunning_ = false;
  KeyHandler onKey_;
  EscapeHandler onEscape_;
  KeyCaptureRecognizer recognizer_;
  QtKeyTranslator translator_;
};
