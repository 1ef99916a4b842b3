// Where the main window's popovers hang on the test desktop.
#include "mainwindow/languagemenu.h"
#include "mainwindow/mainview.h"
#include "mainwindow/popover.h"
#include "mainwindow/sidebar.h"
#include "mainwindow/squaresymbolbutton.h"
#include "mainwindowtest.h"
#include "pipeline/permissionmanager.h"

#include <QWindow>

namespace {

void waitExposed(QWidget& window) {
  window.show();
  ASSERT_TRUE(waitUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }));
}

using MainViewOnScreen = MainWindowTest;

TEST_F(MainViewOnScreen, ThePopoversHangFromTheirButtons) {
  REQUIRE_TEST_DESKTOP();
  trust.trusted = false;
  PermissionManager::shared().refresh();
  MainView view;
  waitExposed(view);
  click(view.sidebar()->languageButton());
  Popover& language = *view.languagePopover();
  waitExposed(language);
  // Above its button, arrow pointing down at it.
  const QRect button(view.sidebar()->languageButton()->mapToGlobal(QPoint(0, 0)),
                     view.sidebar()->languageButton()->size());
  EXPECT_TRUE(waitUntil([&] { return language.frameGeometry().bottom() <= button.top(); }));
  EXPECT_EQ(language.width(), LanguageMenu::menuWidth);
  view.setShowLanguagePopover(false);

  click(view.sidebar()->permissionButton());
  Popover& permissions = *view.permissionPopover();
  waitExposed(permissions);
  const QRect permissionButton(view.sidebar()->permissionButton()->mapToGlobal(QPoint(0, 0)),
                               view.sidebar()->permissionButton()->size());
  EXPECT_TRUE(waitUntil([&] { return permissions.frameGeometry().left() >= permissionButton.right(); }));
}

}  // namespace
