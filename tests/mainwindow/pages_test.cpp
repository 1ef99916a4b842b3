// Every page, sheet and popover of the main window in every state it has, in
// every interface language, as the user sees it: texts have the room they
// need, every control shows something, nothing sits outside its parent, out
// of its layout or over another text.
#include "faketerminaldriver.h"
#include "mainwindow/accountpopoverview.h"
#include "mainwindow/dictionaryview.h"
#include "mainwindow/historycard.h"
#include "mainwindow/historyview.h"
#include "mainwindow/homeview.h"
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
#include "openclaw/openclawmanager.h"
#include "openclawhome.h"
#include "pipeline/permissionmanager.h"
#include "service/authstore.h"
#include "service/personastore.h"
#include "theme/cybertextfield.h"

#include <algorithm>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QTextDocument>
#include "mainwindow/plainbutton.h"
#include "mainwindow/textlabel.h"
#include "mainwindow/rowbutton.h"
#include <QScrollArea>

namespace {

QByteArray hotwords(int count, const QString& first = QStringLiteral("Kubernetes")) {
  QJsonArray items;
  for (int i = 0; i < count; ++i) {
    items.append(QJsonObject{{"id", QStringLiteral("h%1").arg(i)},
                             {"word", i == 0 ? first : QStringLiteral("word %1").arg(i)}});
  }
  return QJsonDocument(QJsonObject{{"hotwords", items}}).toJson(QJsonDocument::Compact);
}

QByteArray personas(int count) {
  QJsonArray items;
  for (int i = 0; i < count; ++i) {
    items.append(QJsonObject{
        {"id", QString::number(i)},
        {"name", i == 0 ? QStringLiteral("Formal writer for business mail") : QStringLiteral("Persona %1").arg(i)},
        {"is_active", i == 0},
        {"description", QStringLiteral("Writes polite, formal business e-mails with a clear structure")},
        {"prompts", QJsonObject{{"transcribe_prompt", "Keep punctuation"}, {"transcribe_enabled", true},
                                {"rewrite_prompt", ""}, {"rewrite_enabled", false}, {"intent_enabled", i % 2 == 0}}}});
  }
  return QJsonDocument(QJsonObject{{"personas", items}}).toJson(QJsonDocument::Compact);
}

ScriptedResponse stalled() {
  ScriptedResponse never;
  never.stall = true;
  return never;
}

class EveryPage : public MainWindowServiceTest, public ::testing::WithParamInterface<AppLanguage> {
 protected:
  EveryPage() {
    LanguageManager::shared().setCurrent(GetParam());
    AuthStore::shared().setEmail(QStringLiteral("firstname.lastname@example-company.com"));
    AuthStore::shared().setToken(QStringLiteral("token"));
    AuthStore::shared().setTier(QStringLiteral("trial"));
    AuthStore::shared().setCreditsTotal(100);
    AuthStore::shared().setCreditsRemaining(42);
    AuthStore::shared().setCreditsResetAt(QStringLiteral("2027-01-05T00:00:00Z"));
    AuthStore::shared().setShowInviteCodesEnabled(true);
    HistoryStore::shared().load();
  }

  // The page `tab` of a shown main window.
  template <typename Page>
  Page* open(MainView& window, SidebarTab tab) {
    window.show();
    window.setSelectedTab(tab);
    return qobject_cast<Page*>(window.page());
  }

  // The root looks right in the state named.
  static void check(const QWidget& root, const char* state) {
    SCOPED_TRACE(state);
    EXPECT_LOOKS_RIGHT(root);
  }
};

TEST_P(EveryPage, Home) {
  FakeTerminalDriver terminal;
  OpenClawHome::useLoginShellWithFakeBin();
  OpenClawManager& agent = OpenClawManager::shared();
  trust.trusted = false;  // the permission warning in the title row
  MainView window;
  HomeView* home = open<HomeView>(window, SidebarTab::home);
  ASSERT_TRUE(home);
  check(window, "no record, the agent not known yet");
  ASSERT_TRUE(onScreen(home->warningButton()));

  const QString audio = makeAudioFile(TestEnvironment::root() + QStringLiteral("/audio/kept.wav"));
  RecordingHistory record = makeRecord(RecognitionStatus::processing);
  HistoryStore::shared().addRecord(record);
  check(window, "a request running");
  record = makeRecord(RecognitionStatus::success);
  record.transcript = QStringLiteral("please summarise the meeting notes for tomorrow morning's call");
  record.result = QStringLiteral("See https://example.com/a/very/long/path/that/does/not/break/anywhere/at/all/"
                                 "because/it/has/no/spaces/in/it/whatsoever/index.html");
  HistoryStore::shared().addRecord(record);
  check(window, "a plain answer");
  record = makeRecord(RecognitionStatus::success, QStringLiteral("agent"));
  record.actionType = QStringLiteral("show_markdown");
  record.result = QStringLiteral("## Weather\n\n- **Sunny**, 24°C\n\n| Time | Temp |\n|---|---|\n| 9:00 | 18° |");
  HistoryStore::shared().addRecord(record);
  check(window, "a markdown answer");
  record = makeRecord(RecognitionStatus::failed);
  record.audioFilePath = audio;
  HistoryStore::shared().addRecord(record);
  check(window, "a failed request with its recording");

  agent.setGatewayURLForTesting(QUrl("http://127.0.0.1:9"));
  awaitTask(agent.refreshStatus());
  ASSERT_EQ(agent.status(), OpenClawStatus::notInstalled);
  check(window, "the agent not installed");
  terminal.available = false;
  click(home->openClawCard()->primaryButton());
  ASSERT_TRUE(waitUntil([&] { return onScreen(home->openClawCard()->terminalNote()); }));
  check(window, "no terminal to open");
  terminal.available = true;
  OpenClawHome::makeConfigFolder();
  OpenClawHome::installTool();
  awaitTask(agent.refreshStatus());
  ASSERT_EQ(agent.status(), OpenClawStatus::installedServiceDown);
  check(window, "the gateway down");
  agent.setStartingGateway(true);
  check(window, "the gateway starting");
  agent.setStartingGateway(false);
  agent.setGatewayURLForTesting(service.origin());
  awaitTask(agent.refreshStatus());
  ASSERT_EQ(agent.status(), OpenClawStatus::ready);
  check(window, "the agent ready");
}

TEST_P(EveryPage, HotwordsAndTheirSheet) {
  service.enqueue("GET", apiPath("/hotwords"), stalled());
  MainView window;
  DictionaryView* page = open<DictionaryView>(window, SidebarTab::dictionary);
  ASSERT_TRUE(page);
  check(window, "loading");

  const struct {
    const char* state;
    ScriptedResponse answer;
    DictionaryView::Content content;
  } fetches[] = {
      {"failed", ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR"})"), DictionaryView::Content::failed},
      {"empty", ScriptedResponse::json(200, hotwords(0)), DictionaryView::Content::empty},
      {"full", ScriptedResponse::json(200, hotwords(30, QStringLiteral("Twenty letter hotwrd"))),
       DictionaryView::Content::list},
  };
  for (const auto& fetch : fetches) {
    DictionaryView view;
    service.enqueue("GET", apiPath("/hotwords"), fetch.answer);
    view.resize(880, 720);
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.content() == fetch.content; })) << fetch.state;
    check(view, fetch.state);
  }
  // A failed refresh over a list: the list and the notice above it.
  DictionaryView view;
  view.resize(880, 720);
  view.show();
  ASSERT_TRUE(waitUntil([&] { return view.content() == DictionaryView::Content::list; }));
  service.enqueue("GET", apiPath("/hotwords"), ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR"})"));
  view.hide();
  view.show();
  ASSERT_TRUE(waitUntil([&] { return !view.notice().isEmpty(); }));
  check(view, "a list with a notice");

  view.addHotWord();
  ASSERT_TRUE(view.sheet());
  check(*view.sheet(), "adding");
  view.sheet()->field()->setText(QStringLiteral("A very long hotword over twenty"));
  view.sheet()->showError(currentStrings().errorCreditsExhausted);
  check(*view.sheet(), "too long, refused");
}

TEST_P(EveryPage, HistoryWithCardsOfEveryKind) {
  MainView window;
  check(*open<HistoryView>(window, SidebarTab::history), "no records");

  const QString audio = makeAudioFile(TestEnvironment::root() + QStringLiteral("/audio/a.wav"));
  for (int i = 0; i < 18; ++i) HistoryStore::shared().addRecord(makeRecord(RecognitionStatus::success));
  RecordingHistory failed = makeRecord(RecognitionStatus::failed, QStringLiteral("rewrite"));
  failed.audioFilePath = audio;
  failed.retryable = true;
  failed.processingDuration = 0.04;
  HistoryStore::shared().addRecord(failed);
  RecordingHistory search = makeRecord(RecognitionStatus::success, QStringLiteral("agent"));
  search.actionType = QStringLiteral("show_markdown");
  search.result = QStringLiteral("# Weather\n\n- Sunny, 24°C\n- Light wind");
  search.transcript = QStringLiteral("what is the weather tomorrow");
  HistoryStore::shared().addRecord(search);
  RecordingHistory plain = makeRecord(RecognitionStatus::success, QStringLiteral("custom-operation"));
  plain.transcript = QStringLiteral("first line second line");
  plain.result = QStringLiteral("See https://example.com/a/very/long/path/that/does/not/break/anywhere/at/all/"
                                "because/it/has/no/spaces/index.html");
  plain.audioFilePath = audio;
  plain.processingDuration = 12.96;
  HistoryStore::shared().addRecord(plain);
  HistoryStore::shared().addRecord(makeRecord(RecognitionStatus::pending));
  HistoryStore::shared().addRecord(makeRecord(RecognitionStatus::processing));

  // A fresh page: all the cards made, and the MORE button under them.
  window.setSelectedTab(SidebarTab::home);
  auto* history = open<HistoryView>(window, SidebarTab::history);
  ASSERT_TRUE(history);
  ASSERT_TRUE(waitUntil([&] {
    history->findChild<QScrollArea*>()->ensureWidgetVisible(history->moreButton());
    return history->cards().size() == 20;
  }));
  ASSERT_TRUE(onScreen(history->moreButton()));
  check(window, "collapsed");
  for (HistoryCard* card : history->cards().mid(0, 5)) {
    if (card->expandButton()) click(card->expandButton());
  }
  // Each card grows to its new height over a moment: check where it ends.
  ASSERT_TRUE(waitUntil([&] {
    const QList<HistoryCard*> cards = history->cards();
    return std::none_of(cards.begin(), cards.end(), [](HistoryCard* card) {
      return card->heightAnimation().state() == QAbstractAnimation::Running;
    });
  }));
  check(window, "expanded");
}

TEST_P(EveryPage, PersonasAndTheirSheet) {
  const struct {
    const char* state;
    ScriptedResponse answer;
    PersonaView::Content content;
  } loads[] = {
      {"failed", ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR"})"), PersonaView::Content::failed},
      {"empty", ScriptedResponse::json(200, personas(0)), PersonaView::Content::empty},
      {"a few", ScriptedResponse::json(200, personas(3)), PersonaView::Content::list},
      {"at the limit", ScriptedResponse::json(200, personas(10)), PersonaView::Content::list},
  };
  for (const auto& load : loads) {
    PersonaView view;
    service.enqueue("GET", apiPath("/personas"), load.answer);
    view.resize(880, 720);
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.content() == load.content; })) << load.state;
    check(view, load.state);
  }
  {
    service.enqueue("GET", apiPath("/personas"), stalled());
    MainView window;
    ASSERT_TRUE(open<PersonaView>(window, SidebarTab::persona));
    check(window, "loading");
  }

  PersonaEditSheet fresh(std::nullopt);
  fresh.show();
  check(fresh, "a new persona");
  // An empty prompt shows all of its placeholder, inside the editor's margins.
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
  PersonaItem item;
  item.id = QStringLiteral("p");
  item.name = QStringLiteral("Formal writer for business mail");
  item.prompts.rewritePrompt = QStringLiteral("Be brief.");
  item.prompts.rewriteEnabled = true;
  PersonaEditSheet edit(item);
  edit.show();
  check(edit, "an existing persona");
  EXPECT_EQ(edit.width(), PersonaEditSheet::minimumWidth) << "a long name shortens the title, not widens the sheet";
}

TEST_P(EveryPage, Settings) {
  tap.held = {{14, 0x80000, false}};  // another application holds Alt+E: its row says so
  trust.trusted = false;
  microphone.status = MicrophoneAccess::Authorization::notDetermined;
  MainView window;
  SettingsView* settings = open<SettingsView>(window, SidebarTab::settings);
  ASSERT_TRUE(settings);
  check(window, "permissions missing, a hotkey held elsewhere");
  settings->toggleRecording(HotKeyCombo::agent);
  check(window, "recording a hotkey");
  settings->cancelRecording();
  trust.trusted = true;
  microphone.status = MicrophoneAccess::Authorization::authorized;
  PermissionManager::shared().refresh();
  check(window, "everything granted");
}

TEST_P(EveryPage, Popovers) {
  service.enqueue("GET", apiPath("/auth/invite-codes"), ScriptedResponse::json(403, R"({"code":"INVALID_INVITE_CODE"})"));
  service.route("GET", apiPath("/auth/invite-codes"),
                ScriptedResponse::json(200, R"({"invite_codes":[{"code":"ABCD2345","is_used":false},)"
                                            R"({"code":"USED0001","is_used":true,"used_by":"someone.with.a.long.)"
                                            R"(address@example-company.com"},{"code":"CODE0003","is_used":false},)"
                                            R"({"code":"CODE0004","is_used":false},{"code":"CODE0005","is_used":false},)"
                                            R"({"code":"CODE0006","is_used":false}]})"));
  MainView window;
  window.show();
  for (const auto& [tier, total, remaining] :
       {std::tuple{"trial", 100, 42}, std::tuple{"none", 0, 0}, std::tuple{"pro", 500, 500}}) {
    AuthStore::shared().setTier(QString::fromLatin1(tier));
    AuthStore::shared().setCreditsTotal(total);
    AuthStore::shared().setCreditsRemaining(remaining);
    window.setShowAccountPopover(true);
    ASSERT_TRUE(window.accountPopover());
    check(*window.accountPopover(), tier);
    window.setShowAccountPopover(false);
  }
  window.setShowAccountPopover(true);
  auto* account = qobject_cast<AccountPopoverView*>(window.accountPopover()->content());
  ASSERT_TRUE(account);
  click(account->inviteCodesButton());
  ASSERT_TRUE(account->inviteCodesPopover());
  Popover& codes = *account->inviteCodesPopover();
  ASSERT_TRUE(waitUntil([&] { return shows(codes, currentStrings().retry); }));
  check(codes, "the codes failed");
  clickText(codes, currentStrings().retry);
  ASSERT_TRUE(waitUntil([&] { return shows(codes, QStringLiteral("USED-0001")); }));
  check(codes, "the codes");
  window.setShowAccountPopover(false);

  window.setShowLanguagePopover(true);
  ASSERT_TRUE(window.languagePopover());
  check(*window.languagePopover(), "languages");
  window.setShowLanguagePopover(false);

  for (bool trusted : {false, true}) {
    trust.trusted = trusted;
    window.openPermissionPopover();
    ASSERT_TRUE(window.permissionPopover());
    check(*window.permissionPopover(), trusted ? "permissions granted" : "permissions missing");
    window.setShowPermissionPopover(false);

    PermissionWindowManager::shared().show();
    ASSERT_TRUE(PermissionWindowManager::shared().window());
    check(*PermissionWindowManager::shared().window(), trusted ? "window, granted" : "window, missing");
    PermissionWindowManager::shared().window()->close();
  }
  AuthStore::shared().clearSession();
  window.setShowAccountPopover(true);
  check(*window.accountPopover(), "signed out");
}

// A language chosen while a page is shown relabels all of it: the page then
// shows what it shows when made in that language.
TEST_F(MainWindowServiceTest, APageRelabelledLiveShowsWhatItShowsWhenMadeInThatLanguage) {
  AuthStore::shared().setEmail(QStringLiteral("ada@example.com"));
  AuthStore::shared().setToken(QStringLiteral("token"));
  AuthStore::shared().setTier(QStringLiteral("trial"));
  HistoryStore::shared().load();
  HistoryStore::shared().setRetentionPolicy(RetentionPolicy::thirtyDays);
  trust.trusted = false;
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, hotwords(0)));
  service.route("GET", apiPath("/personas"), ScriptedResponse::json(200, personas(2)));
  RecordingHistory failed = makeRecord(RecognitionStatus::failed, QStringLiteral("rewrite"));
  failed.audioFilePath = makeAudioFile(TestEnvironment::root() + QStringLiteral("/audio/a.wav"));
  failed.retryable = true;
  HistoryStore::shared().addRecord(failed);
  RecordingHistory search = makeRecord(RecognitionStatus::success, QStringLiteral("agent"));
  search.actionType = QStringLiteral("show_markdown");
  search.result = QStringLiteral("# Found");
  search.transcript = QStringLiteral("heard");
  HistoryStore::shared().addRecord(search);

  const auto shownOn = [](SidebarTab tab, const std::function<void()>& meanwhile) {
    MainView window;
    window.show();
    window.setSelectedTab(tab);
    EXPECT_TRUE(waitUntil([&] { return !shows(window, currentStrings().loading); }));
    for (HistoryCard* card : shownWidgets<HistoryCard>(window)) {
      if (card->expandButton()) click(card->expandButton());
    }
    meanwhile();
    QStringList texts = shownTexts(window);
    texts.sort();
    return texts;
  };
  for (SidebarTab tab : allSidebarTabs()) {
    SCOPED_TRACE(int(tab));
    LanguageManager::shared().setCurrent(AppLanguage::en);
    const QStringList live = shownOn(tab, [] { LanguageManager::shared().setCurrent(AppLanguage::yue); });
    EXPECT_EQ(live, shownOn(tab, [] {}));
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, EveryPage, ::testing::ValuesIn(allAppLanguages()),
                         [](const auto& info) { return rawValue(info.param).replace('-', '_').toStdString(); });

}  // namespace
