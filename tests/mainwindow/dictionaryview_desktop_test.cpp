#include "mainwindow/dictionaryview.h"

#include "mainwindow/hotwordrow.h"
#include "mainwindow/mainview.h"
#include "mainwindow/plainbutton.h"
#include "mainwindowtest.h"
#include "screenshot.h"
#include "testenvironment.h"
#include "theme/cybertextfield.h"

namespace {

using DictionaryOnScreen = MainWindowServiceTest;

TEST_F(DictionaryOnScreen, TheSheetHangsOverTheWindowItBelongsTo) {
  REQUIRE_TEST_DESKTOP();
  service.route(
      "GET", apiPath("/hotwords"),
      ScriptedResponse::json(200, R"({"hotwords":[{"id":"a","word":"Kubernetes"},{"id":"b","word":"Veltrine"},)"
                                  R"({"id":"c","word":"OpenClaw"}]})"));
  MainView window;
  window.setSelectedTab(SidebarTab::dictionary);
  auto* page = qobject_cast<DictionaryView*>(window.page());
  ASSERT_NE(page, nullptr);
  window.show();
  ASSERT_TRUE(waitUntil([&] { return page->rows().size() == 3; }));
  onScreen(window, QStringLiteral("dictionary-list"));

  page->rows().at(1)->editButton()->click();
  ASSERT_TRUE(page->showSheet());
  page->sheet()->field()->setText(QStringLiteral("Veltrine Voice Input Pro"));
  onScreen(window, QStringLiteral("dictionary-window-with-sheet"));
  const QImage sheet = onScreen(*page->sheet(), QStringLiteral("dictionary-sheet"));
  EXPECT_EQ(sheet.width(), 480);
  // The window manager reports frames a moment after it moves them, later on
  // a busy machine.
  EXPECT_TRUE(waitUntil([&] { return window.frameGeometry().contains(page->sheet()->frameGeometry().center(), true); }))
      << "sheet centred at " << page->sheet()->frameGeometry().center().x() << ","
      << page->sheet()->frameGeometry().center().y();
}

}  // namespace
