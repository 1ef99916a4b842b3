#include "app/rootwindow.h"

#include "service/authstore.h"

#include <QAction>
#include <QCoreApplication>
#include <QVBoxLayout>

const QString RootWindow::kQuitTitle = QStringLiteral("退出Veltrine");

RootWindow::RootWindow(Views views, QWidget* parent) : QWidget(parent), views_(std::move(views)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // The window follows its content's size limits: a fixed-size content makes
  // a fixed-size window.
  layout->setSizeConstraint(QLayout::SetMinAndMaxSize);

  quitAction_ = new QAction(kQuitTitle, this);
  quitAction_->setShortcut(QKeySequence::Quit);
  quitAction_->setShortcutContext(Qt::ApplicationShortcut);
  connect(quitAction_, &QAction::triggered, this, [] { QCoreApplication::quit(); });
  addAction(quitAction_);

  AuthStore& account = AuthStore::shared();
  hadToken_ = account.isSignedIn();
  connect(&account, &AuthStore::tokenChanged, this, &RootWindow::tokenChanged);
  content_ = chooseContent();
  view_ = makeView(content_);
  layout->addWidget(view_);
}

RootWindow::Content RootWindow::chooseContent() {
  if (!AuthStore::shared().isSignedIn()) return Content::auth;
  return Content::main;
}

void RootWindow::tokenChanged() {
  const bool hasToken = AuthStore::shared().isSignedIn();
  hadToken_ = hasToken;
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
  Q_EMIT contentChanged();
}

QWidget* RootWindow::makeView(Content content) {
  QWidget* view = nullptr;
  switch (content) {
    case Content::auth:
      view = views_.makeAuthView ? views_.makeAuthView() : nullptr;
      break;
    case Content::onboarding:
      view = views_.makeOnboardingView ? views_.makeOnboardingView([] {}) : nullptr;
      break;
    case Content::main:
      view = views_.makeMainView ? views_.makeMainView() : nullptr;
      break;
  }
  if (!view) view = new QWidget;
  view->setParent(this);
  return view;
}
