#pragma once

#include "localization/applanguage.h"
#include "mainwindow/sidebartab.h"

#include <QPointer>
#include <QWidget>

class Popover;
class Sidebar;
class SidebarEdge;

// The main window's root view for a signed-in user: a 1120 by 720 frame (the
// window holding it may make it smaller on a small screen, where the pages
// and the sidebar's entries scroll) with the sidebar on the left and the
// selected page on the right.
// Only the selected page exists: choosing another entry replaces it, so a
// page starts afresh each time it is chosen.
//
// It follows the account (e-mail and tier), the recorder's state, the
// permissions and the interface language of their shared objects, and owns
// the sidebar's three popovers: the account, the language choice and the
// permissions. Each popover's flag is true exactly while it is open; closing
// one from outside (a click elsewhere, Escape) clears its flag.
class MainView : public QWidget {
  Q_OBJECT
  Q_PROPERTY(SidebarTab selectedTab READ selectedTab WRITE setSelectedTab NOTIFY selectedTabChanged)
  Q_PROPERTY(bool showPermissionPopover READ showPermissionPopover WRITE setShowPermissionPopover NOTIFY
                 showPermissionPopoverChanged)
  Q_PROPERTY(
      bool showAccountPopover READ showAccountPopover WRITE setShowAccountPopover NOTIFY showAccountPopoverChanged)
  Q_PROPERTY(
      bool showLanguagePopover READ showLanguagePopover WRITE setShowLanguagePopover NOTIFY showLanguagePopoverChanged)

 public:
  using SidebarTab = ::SidebarTab;

  explicit MainView(QWidget* parent = nullptr);
  ~MainView() override;

  static constexpr int frameWidth = 1120;
  static constexpr int frameHeight = 720;

  QSize sizeHint() const override { return QSize(frameWidth, frameHeight); }

  SidebarTab selectedTab() const { return selectedTab_; }
  void setSelectedTab(SidebarTab tab);

  bool showPermissionPopover() const;
  bool showAccountPopover() const;
  bool showLanguagePopover() const;
  void setShowPermissionPopover(bool show);
  void setShowAccountPopover(bool show);
  void setShowLanguagePopover(bool show);

  // The sidebar's actions.
  void toggleAccountPopover();
  void toggleLanguagePopover();
  // Reads the permissions afresh, then opens their popover (never closes it).
  void openPermissionPopover();
  // The language popover's choice: the language changes (and is stored),
  // then the popover closes. Choosing the current language does the same.
  void chooseLanguage(AppLanguage language);
  // The account popover's sign-out: the popover closes, then the account
  // store signs out; the application then shows the sign-in view.
  void logout();

  Sidebar* sidebar() const { return sidebar_; }
  // The page shown now.
  QWidget* page() const { return page_; }
  Popover* accountPopover() const;
  Popover* languagePopover() const;
  Popover* permissionPopover() const;

 Q_SIGNALS:
  void selectedTabChanged();
  void showPermissionPopoverChanged();
  void showAccountPopoverChanged();
  void showLanguagePopoverChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void showPage();
  void followAccount();
  void followPermissions();
  // Opens or closes one popover; `make` builds it when opening.
  template <typename Make>
  void setPopover(QPointer<Popover>& slot, bool show, void (MainView::*changed)(), Make make);

  Sidebar* sidebar_;
  SidebarEdge* edge_;
  QWidget* page_ = nullptr;
  SidebarTab selectedTab_ = SidebarTab::home;
  QPointer<Popover> permissionPopover_;
  QPointer<Popover> accountPopover_;
  QPointer<Popover> languagePopover_;
};
