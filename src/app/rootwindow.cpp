#include "app/rootwindow.h"

#include "app/screenfit.h"
#include "onboarding/onboardingmanager.h"
#include "platform/pointerbuttons.h"
#include "platform/workarea.h"
#include "service/authstore.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

const QString RootWindow::kQuitTitle = QStringLiteral("退出Veltrine");

RootWindow::RootWindow(Views views, QWidget* parent) : QWidget(parent), views_(std::move(views)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // The window's size is set by fitContent(), not by the layout.
  layout->setSizeConstraint(QLayout::SetNoConstraint);

  quitAction_ = new QAction(kQuitTitle, this);
  quitAction_->setShortcut(QKeySequence::Quit);
  quitAction_->setShortcutContext(Qt::ApplicationShortcut);
  connect(quitAction_, &QAction::triggered, this, [] { QCoreApplication::quit(); });
  addAction(quitAction_);
  // Qt offers a window's shortcuts only while the window is shown: the keys
  // pressed in the program's other windows reach the command here meanwhile.
  QCoreApplication::instance()->installEventFilter(this);

  AuthStore& account = AuthStore::shared();
  hadToken_ = account.isSignedIn();
  connect(&account, &AuthStore::tokenChanged, this, &RootWindow::tokenChanged);
  connect(&OnboardingManager::shared(), &OnboardingManager::shouldShowOnboardingChanged, this, &RootWindow::evaluate);
  content_ = chooseContent();
  view_ = makeView(content_);
  layout->addWidget(view_);
  fitContent();

  atRest_.setSingleShot(true);
  atRest_.setInterval(kRestMs);
  connect(&atRest_, &QTimer::timeout, this, &RootWindow::refitAtRest);
  connect(&WorkArea::current(), &WorkArea::changed, this, &RootWindow::refit);
}

QSize RootWindow::askedSize() const {
  QSize size = view_->sizeHint();
  // A view that gives only its width (its height comes from its layout) is
  // as tall as its layout asks for.
  if (const QLayout* content = view_->layout()) {
    const QSize laidOut = content->totalSizeHint();
    if (size.width() < 0) size.setWidth(laidOut.width());
    if (size.height() < 0) size.setHeight(laidOut.height());
  }
  return size.expandedTo(view_->minimumSize()).boundedTo(view_->maximumSize());
}

QRect RootWindow::workArea() const {
  const QScreen* screen = this->screen();
  return screen ? WorkArea::current().freeArea(*screen) : QRect();
}

bool RootWindow::fitContent() {
  if (!view_) return false;
  if (const QWindow* handle = windowHandle()) fittedFrame_ = handle->frameMargins();
  const QSize minimum = view_->minimumSizeHint().expandedTo(view_->minimumSize());
  const QSize size = ScreenFit::contentSize(askedSize(), minimum, workArea(), fittedFrame_);
  const bool resized = size != this->size();
  setFixedSize(size);
  return resized;
}

void RootWindow::refit() {
  fitContent();
  keepInWorkArea();
}

void RootWindow::keepInWorkArea() {
  // Until the window is on screen, where it goes is the window manager's choice.
  const bool placed = windowHandle() && (windowHandle()->isExposed() || !fittedFrame_.isNull());
  if (!isVisible() || !placed) return;
  const QPoint position = ScreenFit::framePosition(QRect(pos(), size().grownBy(fittedFrame_)), workArea());
  if (position != pos()) move(position);
}

void RootWindow::followScreen() {
  QWindow* handle = windowHandle();
  if (!handle) return;
  connect(handle, &QWindow::screenChanged, this, &RootWindow::movedToScreen, Qt::UniqueConnection);
  if (handle->screen() == followedScreen_) return;
  disconnect(screenResized_);
  disconnect(workAreaChanged_);
  followedScreen_ = handle->screen();
  if (followedScreen_) {
    // A new scale changes the screen's size in logical pixels.
    screenResized_ = connect(followedScreen_, &QScreen::geometryChanged, this, &RootWindow::refit);
    workAreaChanged_ = connect(followedScreen_, &QScreen::availableGeometryChanged, this, &RootWindow::refit);
  }
}

void RootWindow::movedToScreen() {
  followScreen();
  // Moved by the user's hand as often as not: fitted once it rests there.
  // Fitted while the window manager still moves it, it would be put back
  // under the pointer at its new size, maybe on the monitor it came from.
  atRest_.start();
}

void RootWindow::refitAtRest() {
  // The user still holds the window (or anything else): not yet.
  if (PointerButtons::current().anyHeld()) {
    atRest_.start();
    return;
  }
  refit();
}

bool RootWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::LayoutRequest:
      // The content asked for another size (a taller step of the sign-in, say).
      if (fitContent()) keepInWorkArea();
      break;
    case QEvent::Show:
      followScreen();
      refit();
      break;
    case QEvent::Move:
      if (windowHandle() && windowHandle()->frameMargins() != fittedFrame_) {
        // The window manager has framed the window: the frame counts from now on.
        if (fitContent()) keepInWorkArea();
      } else if (atRest_.isActive()) {
        atRest_.start();  // still moving
      }
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

bool RootWindow::eventFilter(QObject* watched, QEvent* event) {
  // While this window is hidden (closed) the quit key pressed in another of
  // the program's windows, the permission window say, still quits. Shown, the
  // window's own shortcut takes the key before any window sees it.
  if (event->type() == QEvent::KeyPress && !isVisible() && !quitAction_->shortcut().isEmpty()) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!key->isAutoRepeat() && QKeySequence(key->keyCombination()) == quitAction_->shortcut()) {
      quitAction_->trigger();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

RootWindow::Content RootWindow::chooseContent() {
  if (!AuthStore::shared().isSignedIn()) return Content::auth;
  if (OnboardingManager::shared().shouldShowOnboarding()) return Content::onboarding;
  return Content::main;
}

void RootWindow::tokenChanged() {
  const bool hasToken = AuthStore::shared().isSignedIn();
  const bool signedInNow = hasToken && !hadToken_;
  hadToken_ = hasToken;
  // Someone has just signed in: whether they still have onboarding ahead is
  // known only for their own e-mail, so look before choosing.
  if (signedInNow) OnboardingManager::shared().refresh();
  evaluate();
}

void RootWindow::evaluate() {
  const Content wanted = chooseContent();
  if (wanted == content_ && view_) return;
  content_ = wanted;
  QWidget* next = makeView(wanted);
  if (view_) {
    layout()->replaceWidget(view_, next);
    view_->hide();
    view_->deleteLater();
  } else {
    layout()->addWidget(next);
  }
  view_ = next;
  if (fitContent()) keepInWorkArea();
  Q_EMIT contentChanged();
}

QWidget* RootWindow::makeView(Content content) {
  QWidget* view = nullptr;
  switch (content) {
    case Content::auth:
      view = views_.makeAuthView ? views_.makeAuthView() : nullptr;
      break;
    case Content::onboarding:
      view = views_.makeOnboardingView
                 ? views_.makeOnboardingView([] { OnboardingManager::shared().markCompleted(); })
                 : nullptr;
      break;
    case Content::main:
      view = views_.makeMainView ? views_.makeMainView() : nullptr;
      break;
  }
  if (!view) view = new QWidget;
  view->setParent(this);
  return view;
}
