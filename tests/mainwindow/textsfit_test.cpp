// Every page, sheet and popover of the main window looks right as shown, in
// every interface language: texts have the room they need, every control shows
// something (a text, a picture or an accessible name), nothing sits outside
// its parent or over another text.
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
#include "mainwindow/symbolbutton.h"
#include "mainwindowtest.h"
#include "service/authstore.h"
#include "service/personastore.h"
#include "shownpage.h"
#include "theme/cybertextfield.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include <gmock/gmock.h>

#include <algorithm>

namespace {

using ::testing::IsEmpty;

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
    service.route("GET", apiPath("/auth/invite-codes"),
                  ScriptedResponse::json(200, R"({"invite_codes":[{"code":"ABCD2345","is_used":false},)"
                                              R"({"code":"USED-0001","is_used":true,"used_by":"someone@example.com"}]})"));
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
    settleLayout();
    if (auto* history = qobject_cast<HistoryView*>(window.page())) {
      for (HistoryCard* card : history->cards()) card->toggleExpanded();
      settleLayout();
      // Each card grows to its new height over a moment: check where it ends.
      ASSERT_TRUE(waitUntil([&] {
        const QList<HistoryCard*> cards = history->cards();
        return std::none_of(cards.begin(), cards.end(),
                            [](HistoryCard* card) { return card->heightAnimation().state() == QAbstractAnimation::Running; });
      }));
      settleLayout();
    }
    EXPECT_THAT(shownPageFaults(window), IsEmpty()) << int(tab);
  }
}

TEST_P(TextsFit, InThePopovers) {
  MainView window;
  window.show();
  window.toggleAccountPopover();
  ASSERT_TRUE(window.accountPopover());
  settleLayout();
  EXPECT_THAT(shownPageFaults(*window.accountPopover()), IsEmpty());
  auto* account = qobject_cast<AccountPopoverView*>(window.accountPopover()->content());
  ASSERT_TRUE(account);
  account->setShowInviteCodes(true);
  ASSERT_TRUE(account->inviteCodesPopover());
  ASSERT_TRUE(waitUntil([&] { return !shownWidgets<SymbolButton>(*account->inviteCodesPopover()).isEmpty() &&
                                     shownTexts(*account->inviteCodesPopover()).contains(QStringLiteral("USED-0001")); }));
  settleLayout();
  EXPECT_THAT(shownPageFaults(*account->inviteCodesPopover()), IsEmpty());
  window.setShowAccountPopover(false);
  window.toggleLanguagePopover();
  ASSERT_TRUE(window.languagePopover());
  settleLayout();
  EXPECT_THAT(shownPageFaults(*window.languagePopover()), IsEmpty());
  window.setShowLanguagePopover(false);
  trust.trusted = false;
  window.openPermissionPopover();
  ASSERT_TRUE(window.permissionPopover());
  settleLayout();
  EXPECT_THAT(shownPageFaults(*window.permissionPopover()), IsEmpty());
}

TEST_P(TextsFit, InTheSheets) {
  HotWordEditSheet hotword(std::nullopt, [](QString) -> QCoro::Task<bool> { co_return false; });
  hotword.field()->setText(QStringLiteral("A very long hotword over twenty"));
  hotword.showError(currentStrings().errorCreditsExhausted);
  hotword.show();
  settleLayout();
  EXPECT_THAT(shownPageFaults(hotword), IsEmpty());

  PersonaItem item;
  item.id = QStringLiteral("p");
  item.name = QStringLiteral("Formal writer for business mail");
  PersonaEditSheet persona(item);
  persona.show();
  settleLayout();
  EXPECT_THAT(shownPageFaults(persona), IsEmpty());
  EXPECT_EQ(persona.width(), PersonaEditSheet::minimumWidth) << "a long name shortens the title, not widens the sheet";

  // An empty prompt shows all of its placeholder, inside the editor's margins.
  PersonaEditSheet fresh(std::nullopt);
  fresh.show();
  settleLayout();
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
  settleLayout();
  EXPECT_THAT(shownPageFaults(*PermissionWindowManager::shared().window()), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Languages, TextsFit, ::testing::ValuesIn(allAppLanguages()),
                         [](const auto& info) { return rawValue(info.param).replace('-', '_').toStdString(); });

}  // namespace
