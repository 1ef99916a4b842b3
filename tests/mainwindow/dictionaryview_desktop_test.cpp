// The hotword sheet as the window manager places it.
#include "mainwindow/dictionaryview.h"
#include "mainwindow/hotwordeditsheet.h"
#include "mainwindow/hotwordrow.h"
#include "mainwindow/mainview.h"
#include "mainwindow/plainbutton.h"
#include "mainwindowtest.h"

#include <QWindow>

namespace {

using DictionaryOnScreen = MainWindowServiceTest;

TEST_F(DictionaryOnScreen, TheSheetHangsOverTheWindowItBelongsTo) {
  REQUIRE_TEST_DESKTOP();
  service.route("GET", apiPath("/hotwords"),
                ScriptedResponse::json(200, R"({"hotwords":[{"id":"a","word":"Kubernetes"},{"id":"b","word":"Veltrine"}]})"));
  MainView window;
  window.setSelectedTab(SidebarTab::dictionary);
  auto* page = qobject_cast<DictionaryView*>(window.page());
  ASSERT_NE(page, nullptr);
  window.show();
  ASSERT_TRUE(waitUntil([&] { return shownWidgets<HotWordRow>(window).size() == 2; }));
  ASSERT_TRUE(waitUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }));

  click(shownWidgets<HotWordRow>(window).at(1)->editButton());
  ASSERT_TRUE(page->showSheet());
  HotWordEditSheet& sheet = *page->sheet();
  EXPECT_EQ(sheet.width(), HotWordEditSheet::sheetWidth);
  // The window manager maps, places and reports frames when it gets to it,
  // later on a busy machine.
  ASSERT_TRUE(waitUntil([&] { return sheet.windowHandle() && sheet.windowHandle()->isExposed(); },
                        std::chrono::seconds(20)));
  EXPECT_TRUE(waitUntil([&] { return window.frameGeometry().contains(sheet.frameGeometry().center(), true); },
                        std::chrono::seconds(20)))
      << "sheet centred at " << sheet.frameGeometry().center().x() << "," << sheet.frameGeometry().center().y();
  EXPECT_LOOKS_RIGHT(sheet);
}

}  // namespace
