#include "overlays/overlaypanel.h"

#include "overlays/overlaycontentview.h"
#include "platform/compositorpresence.h"
#include "platform/panelkeyboard.h"
#include "platform/panelwindowrole.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace {

Qt::WindowFlags flagsFor(const OverlayPanel::Settings& settings) {
  Qt::WindowFlags flags =
      Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
  if (settings.ignoresMouse) flags |= Qt::WindowTransparentForInput;
  return flags;
}

}  // namespace

OverlayPanel::OverlayPanel(const Settings& settings)
    : QWidget(nullptr, flagsFor(settings)), settings_(settings), wantedSize_(settings.size) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_QuitOnClose, false);
  if (settings.ignoresMouse) setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  resize(settings.size);
}

void OverlayPanel::setContentView(QWidget* view) {
  if (content_ == view) return;
  // Later, not now: the old view may be the one whose signal led here.
  if (content_) {
    content_->hide();
    content_->deleteLater();
  }
  content_ = view;
  if (view) {
    view->setParent(this);
    view->setGeometry(rect());
    view->show();
    if (auto* card = qobject_cast<OverlayContentView*>(view)) {
      connect(card, &OverlayContentView::outlineChanged, this, &OverlayPanel::updateShape);
    }
  }
  updateShape();
}

void OverlayPanel::setContentSize(const QSize& size) {
  wantedSize_ = size;
  resizeTo(size);
}

void OverlayPanel::resizeTo(const QSize& size) {
  resize(size);
  if (content_) content_->setGeometry(rect());
  updateShape();
}

void OverlayPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  updateShape();
}

void OverlayPanel::updateShape() {
  // Followed from the first showing on: the compositor in use is installed by then.
  CompositorPresence& compositor = CompositorPresence::current();
  connect(&compositor, &CompositorPresence::compositingChanged, this, &OverlayPanel::updateShape,
          Qt::UniqueConnection);
  if (compositor.isCompositing()) {
    if (!mask().isEmpty()) clearMask();
    return;
  }
  const auto* card = qobject_cast<const OverlayContentView*>(content_.data());
  QPainterPath outline;
  if (card) {
    outline = card->outline().translated(card->pos());
  } else {
    outline.addRect(rect());
  }
  const QRegion shape = dissolveMasks_.at(QRegion(outline.toFillPolygon().toPolygon()), dissolveLevel_);
  if (shape != mask()) setMask(shape);
}

void OverlayPanel::setDissolve(qreal share) {
  const int level = DissolveMasks::levelFor(share);
  if (level == dissolveLevel_) return;
  dissolveLevel_ = level;
  updateShape();
}

void OverlayPanel::place(const PanelPlacement& placement) {
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens.append(screen->geometry());
  std::optional<QRect> mainScreen;
  if (const QScreen* primary = QGuiApplication::primaryScreen()) mainScreen = primary->geometry();
  const std::optional<QRect> screen = PanelPlacement::screenFor(screens, mainScreen, QCursor::pos());
  if (!screen) return;
  QRect available = *screen;
  for (const QScreen* candidate : QGuiApplication::screens()) {
    if (candidate->geometry() == *screen) available = candidate->availableGeometry();
  }
  const QRect frame = placement.frame(*screen, available, wantedSize_);
  if (frame.size() != size()) resizeTo(frame.size());
  move(frame.topLeft());
}

void OverlayPanel::orderFrontRegardless() {
  // The window exists from here on, so the window manager can be told what it
  // is before it first sees it.
  winId();
  QWindow* window = windowHandle();
  if (window && !isVisible()) PanelWindowRole::current().markAsPanel(*window);
  // Presses are seen on the window, before any widget of the panel has them.
  if (window && settings_.canBecomeKey) window->installEventFilter(this);
  updateShape();
  show();
  raise();
}

void OverlayPanel::orderOut() {
  dragOffset_.reset();
  if (settings_.canBecomeKey) PanelKeyboard::current().giveBack();
  hide();
  dissolveLevel_ = 0;  // the shape follows at the next showing
}

bool OverlayPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && watched == windowHandle()) {
    // The widgets a press gives the focus to, as Qt picks them: the one under
    // the pointer or the nearest of its parents that takes it on a click.
    const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    for (const QWidget* widget = childAt(at); widget && widget != this; widget = widget->parentWidget()) {
      if (widget->focusPolicy() & Qt::ClickFocus) {
        PanelKeyboard::current().lend(*windowHandle());
        break;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void OverlayPanel::mousePressEvent(QMouseEvent* event) {
  if (!settings_.movableByBackground || event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  // The panel follows the pointer itself: asking the window manager to move it
  // is accepted by some that then do nothing.
  dragOffset_ = event->globalPosition().toPoint() - pos();
}

void OverlayPanel::mouseMoveEvent(QMouseEvent* event) {
  if (!dragOffset_) return QWidget::mouseMoveEvent(event);
  move(event->globalPosition().toPoint() - *dragOffset_);
}

void OverlayPanel::mouseReleaseEvent(QMouseEvent* event) {
  dragOffset_.reset();
  QWidget::mouseReleaseEvent(event);
}
