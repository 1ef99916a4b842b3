#include "mainwindow/keycaptureview.h"

#include "core/installed.h"
#include "platform/keyboardtap.h"
#include "platform/virtualkeycodes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

namespace {

class NoCaptureTap final : public KeyboardTap {
 public:
  bool start(Sink, const QList<KeyGrab>&) override { return false; }
  bool setGrabs(const QList<KeyGrab>&) override { return false; }
  QList<KeyGrab> refusedGrabs() const override { return {}; }
  void stop() override {}
};

// A slot of its own: the hotkey listener's tap grabs the hotkeys, this one
// only watches.
using CaptureTap = Installed<KeyboardTap, NoCaptureTap>;

bool isModifierKey(const QKeyEvent& event) {
  const std::optional<quint16> key = QtKeyTranslator::keyCode(event);
  return key && VirtualKeyCodes::modifierFlag(*key);
}

}  // namespace

void KeyCaptureView::installGlobalTap(KeyboardTap* tap) { CaptureTap::install(tap); }

KeyCaptureView::KeyCaptureView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::ClickFocus);
}

KeyCaptureView::~KeyCaptureView() { stopMonitoring(); }

void KeyCaptureView::update(bool isActive, KeyHandler onKey, EscapeHandler onEscape) {
  onKey_ = std::move(onKey);
  onEscape_ = std::move(onEscape);
  if (isActive && !isActive_) {
    isActive_ = true;
    startMonitoring();
    // Take the focus from whatever control had it, so no caret blinks in a
    // field while the keys go elsewhere.
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (isActive_) setFocus(Qt::OtherFocusReason);
        },
        Qt::QueuedConnection);
    Q_EMIT isActiveChanged();
  } else if (!isActive && isActive_) {
    isActive_ = false;
    stopMonitoring();
    Q_EMIT isActiveChanged();
  }
}

void KeyCaptureView::startMonitoring() {
  if (monitoring_) return;
  monitoring_ = true;
  qApp->installEventFilter(this);
  // The tap sees the keys of this program too: with it running, Qt's key
  // events are only swallowed, so no key is reported twice.
  QPointer<KeyCaptureView> self(this);
  tapRunning_ = CaptureTap::current().start(
      [self](const KeyTapEvent& event) {
        if (self && self->isActive_) self->handleKeyEvent(event);
        return false;
      },
      {});
}

void KeyCaptureView::stopMonitoring() {
  if (!monitoring_) return;
  monitoring_ = false;
  qApp->removeEventFilter(this);
  if (tapRunning_) CaptureTap::current().stop();
  tapRunning_ = false;
  recognizer_.reset();
  translator_.reset();
}

bool KeyCaptureView::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (!isActive_ || (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)) {
    return QWidget::eventFilter(watched, event);
  }
  const auto& keyEvent = static_cast<const QKeyEvent&>(*event);
  const bool modifier = isModifierKey(keyEvent);
  if (type == QEvent::ShortcutOverride) {
    // Claiming the override keeps menus and shortcuts from acting on the key.
    if (modifier) return false;
    event->accept();
    return true;
  }
  if (!tapRunning_) {
    if (const std::optional<KeyTapEvent> translated = translator_.translate(keyEvent)) handleKeyEvent(*translated);
  }
  // Key presses are swallowed; modifier changes and releases pass.
  return type == QEvent::KeyPress && !modifier;
}

void KeyCaptureView::handleKeyEvent(const KeyTapEvent& event) {
  // Only what the user pressed: the copy and paste keys this program types
  // (a dictation finishing meanwhile) are neither recorded nor end a lone
  // modifier.
  if (event.synthetic) return;
  if (const std::optional<KeyCaptureReport> report = recognizer_.handle(event)) deliver(*report);
}

void KeyCaptureView::deliver(const KeyCaptureReport& report) {
  // Later, and through the handlers current then: the owner may have replaced
  // them, or turned the field off, in the meantime.
  QMetaObject::invokeMethod(
      this,
      [this, report] {
        if (report.kind == KeyCaptureReport::Kind::escape) {
          if (onEscape_) onEscape_();
        } else if (onKey_) {
          onKey_(report.keyCode, report.modifiers, report.requiresFn);
        }
      },
      Qt::QueuedConnection);
}
