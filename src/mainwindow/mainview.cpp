#include "mainwindow/mainview.h"

#include "localization/languagemanager.h"
#include "mainwindow/accountbutton.h"
#include "mainwindow/accountpopoverview.h"
#include "mainwindow/dictionaryview.h"
#include "mainwindow/historyview.h"
#include "mainwindow/homeview.h"
#include "mainwindow/languagemenu.h"
#include "mainwindow/permissiongateview.h"
#include "mainwindow/personaview.h"
#include "mainwindow/popover.h"
#include "mainwindow/settingsview.h"
#include "mainwindow/sidebar.h"
#include "mainwindow/sidebaredge.h"
#include "mainwindow/squaresymbolbutton.h"
#include "pipeline/audiorecorder.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionmanager.h"
#include "service/authstore.h"
#include "theme/crossfade.h"
#include "theme/cyberbggradient.h"

#include <QHBoxLayout>
#include <QPainter>

namespace {

QWidget* makePage(SidebarTab tab) {
  switch (tab) {
    case SidebarTab::home:
      return new HomeView;
    case SidebarTab::dictionary:
      return new DictionaryView;
    case SidebarTab::history:
      return new HistoryView(HistoryStore::shared(), 20, 20, LanguageManager::shared());
    case SidebarTab::persona:
      return new PersonaView;
    case SidebarTab::settings:
      break;
  }
  return new SettingsView;
}

}  // namespace

MainView::MainView(QWidget* parent) : QWidget(parent) {
  resize(frameWidth, frameHeight);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  sidebar_ = new Sidebar(this);
  row->addWidget(sidebar_);
  edge_ = new SidebarEdge(this);
  row->addWidget(edge_);

  connect(sidebar_, &Sidebar::tabChosen, this, &MainView::setSelectedTab);
  connect(sidebar_, &Sidebar::accountPressed, this, &MainView::toggleAccountPopover);
  connect(sidebar_, &Sidebar::languagePressed, this, &MainView::toggleLanguagePopover);
  connect(sidebar_, &Sidebar::permissionPressed, this, &MainView::openPermissionPopover);

  AuthStore& account = AuthStore::shared();
  connect(&account, &AuthStore::emailChanged, this, &MainView::followAccount);
  connect(&account, &AuthStore::tierChanged, this, &MainView::followAccount);
  followAccount();

  AudioRecorder& recorder = AudioRecorder::shared();
  connect(&recorder, &AudioRecorder::stateChanged, sidebar_, &Sidebar::setRecordingState);
  sidebar_->setRecordingState(recorder.state());

  connect(&PermissionManager::shared(), &PermissionManager::allGrantedChanged, this, &MainView::followPermissions);
  followPermissions();

  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, sidebar_, &Sidebar::retranslate);

  showPage();
}

MainView::~MainView() {
  // The popovers are windows of their own: they go with the view.
  for (QPointer<Popover>* slot : {&permissionPopover_, &accountPopover_, &languagePopover_}) {
    if (Popover* popover = slot->data()) {
      *slot = nullptr;
      delete popover;
    }
  }
}

void MainView::followAccount() {
  const AuthStore& account = AuthStore::shared();
  sidebar_->setAccount(account.email(), account.tier());
}

void MainView::followPermissions() { sidebar_->setPermissionsGranted(PermissionManager::shared().allGranted()); }

void MainView::setSelectedTab(SidebarTab tab) {
  if (tab == selectedTab_) return;
  selectedTab_ = tab;
  showPage();
  Q_EMIT selectedTabChanged();
}

void MainView::showPage() {
  sidebar_->setSelectedTab(selectedTab_);
  // The old page goes at once: nothing of its state outlives the switch.
  delete page_;
  page_ = makePage(selectedTab_);
  page_->setParent(this);
  static_cast<QHBoxLayout*>(layout())->addWidget(page_, 1);
  page_->show();
  // The edge's glow falls over the page's border.
  edge_->raise();
}

template <typename Make>
void MainView::setPopover(QPointer<Popover>& slot, bool show, void (MainView::*changed)(), Make make) {
  if (show == (slot != nullptr)) return;
  if (show) {
    Popover* popover = make();
    slot = popover;
    // Closed from outside (a click elsewhere, Escape) or by us: either way
    // the flag follows, once.
    connect(popover, &Popover::dismissed, this, [this, &slot, popover, changed] {
      if (slot != popover) return;
      slot = nullptr;
      popover->deleteLater();
      Q_EMIT(this->*changed)();
    });
    popover->present();
  } else {
    Popover* popover = slot;
    slot = nullptr;
    popover->hide();
    popover->deleteLater();
  }
  Q_EMIT(this->*changed)();
}

void MainView::setShowAccountPopover(bool show) {
  setPopover(accountPopover_, show, &MainView::showAccountPopoverChanged, [this] {
    auto* content = new AccountPopoverView([this] { logout(); });
    return new Popover(sidebar_->accountButton(), Popover::ArrowEdge::top, content);
  });
}

void MainView::setShowLanguagePopover(bool show) {
  setPopover(languagePopover_, show, &MainView::showLanguagePopoverChanged, [this] {
    auto* menu = new LanguageMenu;
    connect(menu, &LanguageMenu::languageChosen, this, &MainView::chooseLanguage);
    return new Popover(sidebar_->languageButton(), Popover::ArrowEdge::top, menu);
  });
}

void MainView::setShowPermissionPopover(bool show) {
  setPopover(permissionPopover_, show, &MainView::showPermissionPopoverChanged, [this] {
    auto* gate = new PermissionGateView([this] { setShowPermissionPopover(false); }, PermissionManager::shared(),
                                        LanguageManager::shared());
    return new Popover(sidebar_->permissionButton(), Popover::ArrowEdge::trailing, gate);
  });
}

bool MainView::showPermissionPopover() const { return !permissionPopover_.isNull(); }
bool MainView::showAccountPopover() const { return !accountPopover_.isNull(); }
bool MainView::showLanguagePopover() const { return !languagePopover_.isNull(); }
Popover* MainView::accountPopover() const { return accountPopover_; }
Popover* MainView::languagePopover() const { return languagePopover_; }
Popover* MainView::permissionPopover() const { return permissionPopover_; }

void MainView::toggleAccountPopover() { setShowAccountPopover(!showAccountPopover()); }

void MainView::toggleLanguagePopover() { setShowLanguagePopover(!showLanguagePopover()); }

void MainView::openPermissionPopover() {
  PermissionManager::shared().refresh();
  setShowPermissionPopover(true);
}

void MainView::chooseLanguage(AppLanguage language) {
  // Every text of the window changes at once: the window cross-fades to them.
  if (language != LanguageManager::shared().current()) CrossFade::start(window(), 200, QEasingCurve::InOutQuad);
  LanguageManager::shared().setCurrent(language);
  setShowLanguagePopover(false);
}

void MainView::logout() {
  setShowAccountPopover(false);
  AuthStore::shared().clearSession();
}

void MainView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  CyberBgGradient{}.paint(painter, rect());
}
