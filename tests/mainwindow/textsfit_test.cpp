// Every page, sheet and popover of the main window gives its texts the room
// they need, in every interface language.
#include "historyrecords.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/accountpopoverview.h"
#include "mainwindow/dictionaryview.h"
#include "mainwindow/historycard.h"
#include "mainwindow/historyview.h"
#include "mainwindow/hotwordeditsheet.h"
#include "mainwindow/mainview.h"
#include "mainwindow/openclawcard.h"
#include "mainwindow/permissionwindowmanager.h"
#include "mainwindow/personaeditsheet.h"
#include "mainwindow/personamodulecard.h"
#include "mainwindow/personaview.h"
#include "mainwindow/popover.h"
#include "mainwindow/settingsview.h"
#include "mainwindowtest.h"
#include "service/authstore.h"
#include "service/personastore.h"
#include "squeezedwidgets.h"
#include "theme/cybertextfield.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include <gmock/gmock.h>

namespace {

using ::testing::IsEmpty;

// Lets posted layout requests run, as they have by the time anything is drawn.
void settle() { waitUntil([] { return false; }, std::chrono::milliseconds(100)); }

class TextsFit : public MainWindowServiceTest, public ::testing::WithParamInterface<AppLanguage> {
 protected:
  TextsFit() {
    LanguageManager::shared().setCurrent(GetParam());
    AuthStore::shared().setEmail(QStringLiteral("firstname.lastname@example-company.com"));
    AuthStore::shared().setTier(QStringLiteral("trial"));
    AuthStore::shared().setCreditsTotal(100);
    AuthStore::shared().setCreditsRemaining(42);
    AuthStore::shared().setCreditsResetAt(QStringLiteral("2027-01-05T00:00:00Z"));
    AuthStore::shared().setShowInviteCodesEnabled(true);
    service.route("GET", apiPath("/hotwords"),
                  ScriptedResponse::json(200, R"({"hotwords":[{"id":"a","word":"Kubernetes"}]})"));
    service.route("GET", apiPath("/personas"),
                  ScriptedResponse::json(
                      200, R"({"personas":[{"id":"p","name":"Formal writer for business mail","is_active":true,)"
                           R"("description":"Writes polite, formal business e-mails with a clear structure",)"
                           R"("prompts":{"transcribe_prompt":"Keep punctuation","transcribe_enabled":true}}]})"));
  }
};

TEST_P(TextsFit, InEveryPage) {
  RecordingHistory failed = makeRecord(RecognitionStatus::failed, QStringLiteral("rewrite"));
  HistoryStore::shared().addRecord(failed);
  RecordingHistory done = makeRecord(RecognitionStatus::success);
  done.transcript = QStringLiteral("first line second line");
  done.result = QStringLiteral("See https://example.com/a/very/long/path/that/does/not/break/anywhere/at/all/"
                               "because/it/has/no/spaces/in/it/whatsoever/index.html");
  HistoryStore::shared().addRecord(done);
  tap.held = {{14, 0x80000, false}};  // another application holds Alt+E: its row says so
  MainView window;
  window.show();
  for (SidebarTab tab : {SidebarTab::home, SidebarTab::dictionary, SidebarTab::persona, SidebarTab::history,
                         SidebarTab::settings}) {
    window.setSelectedTab(tab);
    settle();
    if (auto* history = qobject_cast<HistoryView*>(window.page())) {
      for (HistoryCard* card : history->cards()) card->toggleExpanded();
      settle();
    }
    EXPECT_THAT(squeezedWidgets(window), IsEmpty()) << int(tab);
  }
}

TEST_P(TextsFit, InThePopovers) {
  MainView window;
  window.show();
  window.toggleAccountPopover();
  ASSERT_TRUE(window.accountPopover());
  settle();
  EXPECT_THAT(squeezedWidgets(*window.accountPopover()), IsEmpty());
  window.setShowAccountPopover(false);
  window.toggleLanguagePopover();
  ASSERT_TRUE(window.languagePopover());
  settle();
  EXPECT_THAT(squeezedWidgets(*window.languagePopover()), IsEmpty());
  window.setShowLanguagePopover(false);
  trust.trusted = false;
  window.openPermissionPopover();
  ASSERT_TRUE(window.permissionPopover());
  settle();
  EXPECT_THAT(squeezedWidgets(*window.permissionPopover()), IsEmpty());
}

TEST_P(TextsFit, InTheSheets) {
  HotWordEditSheet hotword(std::nullopt, [](QString) -> QCoro::Task<bool> { co_return false; });
  hotword.field()->setText(QStringLiteral("A very long hotword over twenty"));
  hotword.showError(currentStrings().errorCreditsExhausted);
  hotword.show();
  settle();
  EXPECT_THAT(squeezedWidgets(hotword), IsEmpty());

  PersonaItem item;
  item.id = QStringLiteral("p");
  item.name = QStringLiteral("Formal writer for business mail");
  PersonaEditSheet persona(item);
  persona.show();
  settle();
  EXPECT_THAT(squeezedWidgets(persona), IsEmpty());
  EXPECT_EQ(persona.width(), PersonaEditSheet::minimumWidth) << "a long name shortens the title, not widens the sheet";

  // An empty prompt shows all of its placeholder, inside the editor's margins.
  PersonaEditSheet fresh(std::nullopt);
  fresh.show();
  settle();
  for (HotKeyCombo module : {HotKeyCombo::transcribe, HotKeyCombo::rewrite, HotKeyCombo::agent}) {
    QPlainTextEdit& editor = *fresh.moduleCard(module)->editor();
    const qreal margin = editor.document()->documentMargin();
    QTextDocument hint;
    hint.setDocumentMargin(0);
    hint.setDefaultFont(editor.font());
    hint.setPlainText(editor.placeholderText());
    hint.setTextWidth(editor.viewport()->width() - 2 * margin);
    EXPECT_GE(editor.viewport()->height() - 2 * margin, std::min<qreal>(hint.size().height() - 1, 220 - 2 * margin))
        << int(module);
  }
}

TEST_P(TextsFit, InThePermissionWindow) {
  trust.trusted = false;
  PermissionWindowManager::shared().show();
  ASSERT_TRUE(PermissionWindowManager::shared().window());
  settle();
  EXPECT_THAT(squeezedWidgets(*PermissionWindowManager::shared().window()), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Languages, TextsFit, ::testing::ValuesIn(allAppLanguages()),
                         [](const auto& info) { return rawValue(info.param).replace('-', '_').toStdString(); });

}  // namespace
