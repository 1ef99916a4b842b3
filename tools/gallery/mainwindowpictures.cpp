#include "mainwindowpictures.h"

#include "localization/languagemanager.h"
#include "mainwindow/accountpopoverview.h"
#include "mainwindow/dictionaryview.h"
#include "mainwindow/historycard.h"
#include "mainwindow/historyview.h"
#include "mainwindow/homeview.h"
#include "mainwindow/hotwordeditsheet.h"
#include "mainwindow/mainview.h"
#include "mainwindow/openclawcard.h"
#include "mainwindow/personaview.h"
#include "mainwindow/popover.h"
#include "openclaw/openclawmanager.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionmanager.h"
#include "platform/accessibilitytrust.h"
#include "platform/terminaldriver.h"
#include "service/authstore.h"
#include "standinservice.h"
#include "theme/cybertextfield.h"
#include "theme/fontbook.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>
#include <QWindow>

#include <cstdio>
#include <functional>
#include <thread>
#include "mainwindow/textlabel.h"
#include "mainwindow/hotwordrow.h"

namespace {

const QString kEmail = QStringLiteral("ada.lovelace@example.com");

// Accessibility as the picture needs it.
class ChosenTrust final : public AccessibilityTrust {
 public:
  bool isTrusted() override { return trusted; }
  QString missingReason() override { return trusted ? QString() : QStringLiteral("shown as missing"); }
  bool trusted = true;
};

// A desktop whose terminal windows never open, or record commands only.
class QuietTerminal final : public TerminalDriver {
 public:
  QCoro::Task<std::optional<QString>> openWindow(QString) override {
    co_return available ? std::optional(QStringLiteral("1")) : std::nullopt;
  }
  QCoro::Task<bool> runInWindow(QString, QString) override { co_return available; }
  QCoro::Task<bool> activateWindow(QString) override { co_return available; }
  bool available = true;
};

// Runs the event loop for a moment: layouts settle, effects paint.
void pause(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

// Runs the event loop until `done` (at most ten seconds).
bool await(const std::function<bool()>& done) {
  for (int i = 0; i < 200 && !done(); ++i) pause(50);
  return done();
}

void writeFile(const QString& path, const QByteArray& content, bool executable = false) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  file.write(content);
  file.close();
  if (executable) file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

RecordingHistory sampleRecord(RecognitionStatus status, const QString& operation = QStringLiteral("transcribe")) {
  RecordingHistory record;
  record.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
  record.createdAt = QDateTime::currentDateTimeUtc();
  record.operation = operation;
  record.status = status;
  return record;
}

class Pictures {
 public:
  explicit Pictures(const QString& folder) : folder_(folder) { QDir().mkpath(folder); }

  // What the display shows of `window`, as <name>.png.
  void take(QWidget& window, const QString& name) {
    window.show();
    await([&] { return window.windowHandle() && window.windowHandle()->isExposed(); });
    pause(400);
    const QString file = QDir(folder_).filePath(name + QStringLiteral(".png"));
    // The size named: without it, some platforms grab only the window's size
    // in logical pixels, a corner of the window on a screen scaled 2x.
    if (window.screen()->grabWindow(window.winId(), 0, 0, window.width(), window.height()).save(file)) {
      std::printf("%s\n", qPrintable(file));
    } else {
      std::fprintf(stderr, "veltrine-gallery: cannot write %s\n", qPrintable(file));
      failed_ = true;
    }
  }

  // A widget as it paints itself, as <name>.png.
  void grab(QWidget& widget, const QString& name) {
    const QString file = QDir(folder_).filePath(name + QStringLiteral(".png"));
    if (widget.grab().save(file)) {
      std::printf("%s\n", qPrintable(file));
    } else {
      failed_ = true;
    }
  }

  bool failed() const { return failed_; }

 private:
  QString folder_;
  bool failed_ = false;
};

void homePictures(Pictures& pictures, MainView& window, const QString& audio, const QUrl& gateway,
                  QuietTerminal& terminal) {
  HistoryStore& history = HistoryStore::shared();
  RecordingHistory record = sampleRecord(RecognitionStatus::success);
  record.transcript = QStringLiteral("please summarise the meeting notes for tomorrow");
  record.result = QStringLiteral("Summary: the launch moves to Thursday; Ada owns the release notes.");
  record.processingDuration = 1.84;
  history.addRecord(record);
  window.setSelectedTab(SidebarTab::home);
  pictures.take(window, QStringLiteral("home-success"));

  RecordingHistory failed = sampleRecord(RecognitionStatus::failed);
  failed.audioFilePath = audio;
  history.addRecord(failed);
  pictures.take(window, QStringLiteral("home-failed"));

  RecordingHistory search = sampleRecord(RecognitionStatus::success, QStringLiteral("agent"));
  search.actionType = QStringLiteral("show_markdown");
  search.result = QStringLiteral(
      "## Weather tomorrow\n\n- **Sunny**, 24°C\n- Light wind from the west\n\n| Time | Temp |\n|---|---|\n| 9:00 | "
      "18° |\n| 15:00 | 24° |");
  history.addRecord(search);
  pictures.take(window, QStringLiteral("home-markdown"));

  // The agent's card in each of its states.
  OpenClawManager& agent = OpenClawManager::shared();
  agent.setGatewayURLForTesting(QUrl(QStringLiteral("http://127.0.0.1:9")));
  QCoro::Task<void> refresh = agent.refreshStatus();
  await([&] { return refresh.isReady(); });
  pictures.take(window, QStringLiteral("home-openclaw-install"));
  writeFile(QDir::homePath() + QStringLiteral("/.openclaw/openclaw.json"), "{}");
  writeFile(QDir::homePath() + QStringLiteral("/.local/bin/openclaw"), "#!/bin/sh\nexit 0\n", true);
  refresh = agent.refreshStatus();
  await([&] { return refresh.isReady(); });
  agent.setStartingGateway(true);
  pictures.take(window, QStringLiteral("home-openclaw-starting"));
  agent.setStartingGateway(false);
  agent.setGatewayURLForTesting(gateway);
  refresh = agent.refreshStatus();
  await([&] { return refresh.isReady(); });
  pictures.take(window, QStringLiteral("home-openclaw-ready"));

  terminal.available = false;
  if (auto* home = qobject_cast<HomeView*>(window.page()); home && home->openClawCard()) {
    OpenClawCard* card = home->openClawCard();
    card->primaryButton()->click();
    await([&] { return card->terminalNote()->isVisible(); });
  }
  pictures.take(window, QStringLiteral("home-openclaw-no-terminal"));
  terminal.available = true;
}

void historyPictures(Pictures& pictures, MainView& window, const QString& audio) {
  HistoryStore& history = HistoryStore::shared();
  RecordingHistory failed = sampleRecord(RecognitionStatus::failed, QStringLiteral("rewrite"));
  failed.audioFilePath = audio;
  failed.retryable = true;
  failed.processingDuration = 0.04;
  history.addRecord(failed);
  RecordingHistory search = sampleRecord(RecognitionStatus::success, QStringLiteral("agent"));
  search.actionType = QStringLiteral("show_markdown");
  search.result = QStringLiteral("# Weather\n\n- Sunny, 24°C\n- Light wind");
  search.transcript = QStringLiteral("what is the weather tomorrow");
  search.processingDuration = 12.96;
  history.addRecord(search);
  RecordingHistory plain = sampleRecord(RecognitionStatus::success);
  plain.transcript = QStringLiteral("first line second line");
  plain.result = QStringLiteral("One\nTwo\nThree\nFour\nFive");
  plain.audioFilePath = audio;
  plain.processingDuration = 2.34;
  history.addRecord(plain);
  history.addRecord(sampleRecord(RecognitionStatus::pending));
  history.addRecord(sampleRecord(RecognitionStatus::processing, QStringLiteral("custom")));

  window.setSelectedTab(SidebarTab::history);
  auto* page = qobject_cast<HistoryView*>(window.page());
  pictures.take(window, QStringLiteral("history-collapsed"));
  if (!page || page->cards().size() < 5) return;
  page->cards().at(2)->toggleExpanded();
  page->cards().at(3)->toggleExpanded();
  pictures.take(window, QStringLiteral("history-expanded"));
  pictures.grab(*page->cards().at(3), QStringLiteral("history-card-markdown"));
  pictures.grab(*page->cards().at(4), QStringLiteral("history-card-failed"));
}

void dictionaryPictures(Pictures& pictures, MainView& window) {
  window.setSelectedTab(SidebarTab::dictionary);
  auto* page = qobject_cast<DictionaryView*>(window.page());
  if (!page) return;
  await([&] { return page->rows().size() == 3; });
  pictures.take(window, QStringLiteral("dictionary-list"));
  page->editHotWord(page->rows().at(1)->item());
  if (!page->sheet()) return;
  page->sheet()->field()->setText(QStringLiteral("Veltrine Voice Input Pro"));
  pictures.take(window, QStringLiteral("dictionary-window-with-sheet"));
  pictures.take(*page->sheet(), QStringLiteral("dictionary-sheet"));
  page->sheet()->reject();
}

void framePictures(Pictures& pictures, MainView& window, ChosenTrust& trust) {
  window.setSelectedTab(SidebarTab::home);
  pictures.take(window, QStringLiteral("mainview-home"));
  window.setSelectedTab(SidebarTab::settings);
  pictures.take(window, QStringLiteral("mainview-settings"));
  window.setSelectedTab(SidebarTab::persona);
  auto* personas = qobject_cast<PersonaView*>(window.page());
  await([&] { return personas && personas->content() == PersonaView::Content::list; });
  pictures.take(window, QStringLiteral("mainview-persona"));

  window.setSelectedTab(SidebarTab::home);
  trust.trusted = false;
  PermissionManager::shared().refresh();
  pictures.take(window, QStringLiteral("mainview-denied"));
  window.setShowLanguagePopover(true);
  if (window.languagePopover()) pictures.take(*window.languagePopover(), QStringLiteral("popover-language"));
  window.setShowLanguagePopover(false);
  window.setShowAccountPopover(true);
  if (window.accountPopover()) pictures.take(*window.accountPopover(), QStringLiteral("popover-account"));
  window.setShowAccountPopover(false);
  window.openPermissionPopover();
  if (window.permissionPopover()) pictures.take(*window.permissionPopover(), QStringLiteral("popover-permissions"));
  window.setShowPermissionPopover(false);
  trust.trusted = true;
}

}  // namespace

int writeMainWindowPictures(const QString& folder, AppLanguage language) {
  // A private home: settings, history and the agent's files go there.
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
  qputenv("SHELL", "/bin/sh");
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) qunsetenv(name);
  // The login shell finds the fake agent tool in ~/.local/bin, once it exists.
  writeFile(home.filePath(QStringLiteral(".profile")), "PATH=\"$HOME/.local/bin:$PATH\"\nexport PATH\n");

  // The stand-in service, with the account's hotwords and personas.
  StandinService service{StandinStore::Options{}};
  const int port = service.bind(0);
  if (port < 0) return 1;
  std::thread serving([&service] { service.serve(); });
  const QUrl origin(QStringLiteral("http://127.0.0.1:%1").arg(port));
  qputenv("VELTRINE_SERVICE_ORIGIN", origin.toString().toUtf8());
  for (const QString& word : {QStringLiteral("Kubernetes"), QStringLiteral("Veltrine"), QStringLiteral("OpenClaw")}) {
    service.store().addHotword(kEmail, word);
  }
  PersonaPrompts prompts;
  prompts.rewritePrompt = QStringLiteral("Formal, short sentences.");
  prompts.rewriteEnabled = true;
  service.store().addPersona(kEmail, QStringLiteral("Business mail"), QStringLiteral("Polite, formal e-mails"), prompts);
  service.store().addPersona(kEmail, QStringLiteral("Chat"), std::nullopt, PersonaPrompts{});

  ChosenTrust trust;
  AccessibilityTrust::install(&trust);
  QuietTerminal terminal;
  TerminalDriver::install(&terminal);
  LanguageManager::shared().setCurrent(language);
  FontBook::shared().setLanguage(rawValue(language));
  AuthStore& account = AuthStore::shared();
  account.setEmail(kEmail);
  account.setToken(StandinStore::tokenFor(kEmail));
  account.setTier(QStringLiteral("pro"));
  account.setCreditsTotal(500);
  account.setCreditsRemaining(320);
  account.setCreditsResetAt(QStringLiteral("2027-01-05T00:00:00Z"));
  account.setShowInviteCodesEnabled(true);
  HistoryStore::shared().load();
  const QString audio = *HistoryStore::shared().audioDirectoryURL() + QStringLiteral("/sample.wav");
  writeFile(audio, "RIFF....WAVE");

  Pictures pictures(folder);
  {
    MainView window;
    homePictures(pictures, window, audio, origin, terminal);
    historyPictures(pictures, window, audio);
    dictionaryPictures(pictures, window);
    framePictures(pictures, window, trust);
  }
  TerminalDriver::install(nullptr);
  AccessibilityTrust::install(nullptr);
  service.stop();
  serving.join();
  return pictures.failed() ? 1 : 0;
}
