#include "mainwindow/homeview.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/hotkeysummary.h"
#include "mainwindow/latestrecordsection.h"
#include "mainwindow/openclawcard.h"
#include "mainwindow/permissionwindowmanager.h"
#include "mainwindow/plainbutton.h"
#include "mainwindow/recordretry.h"
#include "mainwindow/themedscrollarea.h"
#include "openclaw/openclawmanager.h"
#include "pipeline/historystore.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionmanager.h"
#include "theme/fonts.h"
#include "theme/gloweffect.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>

HomeView::HomeView(QWidget* parent)
    : PageScaffold(parent),
      title_(new NeonTitleLabel(QString(), {Palette::neonCyan, Palette::neonGreen}, 22, this)),
      warning_(new PlainButton(QString(), rajdhaniSemiBold(13), Palette::neonOrange, this)),
      hotKeys_(new HotKeySummary(this)),
      latest_(new LatestRecordSection(this)) {
  headerLayout()->addWidget(title_);
  headerLayout()->addStretch(1);
  warning_->setSymbol(QStringLiteral("exclamationmark.shield.fill"), 14);
  warning_->setSpacing(6);
  warning_->setGraphicsEffect(new GlowEffect(Glow{Palette::withOpacity(Palette::neonOrange, 0.5), 3}, warning_));
  headerLayout()->addWidget(warning_);
  connect(warning_, &QAbstractButton::clicked, this, [] { PermissionWindowManager::shared().show(); });

  auto* scroll = new ThemedScrollArea(this);
  sections_ = new QVBoxLayout(scroll->content());
  sections_->setContentsMargins(36, 32, 36, 32);
  sections_->setSpacing(36);
  sections_->addWidget(hotKeys_);
  sections_->addWidget(latest_);
  sections_->addStretch(1);
  contentLayout()->addWidget(scroll, 1);
  connect(latest_, &LatestRecordSection::retryRequested, this, &HomeView::retry);

  connect(&PermissionManager::shared(), &PermissionManager::allGrantedChanged, this, &HomeView::renderPermissions);
  connect(&OpenClawManager::shared(), &OpenClawManager::statusChanged, this, &HomeView::renderOpenClaw);
  connect(&OpenClawManager::shared(), &OpenClawManager::isStartingGatewayChanged, this, &HomeView::renderOpenClaw);
  connect(&OpenClawManager::shared(), &OpenClawManager::terminalUnavailableChanged, this, &HomeView::renderOpenClaw);
  connect(&HotKeyManager::shared(), &HotKeyManager::configsChanged, this, &HomeView::renderHotKeys);
  connect(&HistoryStore::shared(), &HistoryStore::recordsChanged, this, [this] { renderLatest(false); });
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &HomeView::render);
  render();
}

void HomeView::showEvent(QShowEvent* event) {
  PageScaffold::showEvent(event);
  if (!event->spontaneous()) PermissionManager::shared().refresh();
}

void HomeView::render() {
  title_->setText(currentStrings().pageHome);
  warning_->setText(currentStrings().btnWarn);
  renderPermissions();
  renderOpenClaw();
  renderHotKeys();
  renderLatest(true);
}

void HomeView::renderPermissions() { warning_->setVisible(!PermissionManager::shared().allGranted()); }

void HomeView::renderOpenClaw() {
  const OpenClawManager& manager = OpenClawManager::shared();
  const std::optional<OpenClawCard::Kind> kind = OpenClawCard::kindFor(manager.status());
  if (openClaw_ && (!kind || openClaw_->kind() != *kind)) {
    // Later, not now: a press on the card may be what changed the status.
    openClaw_->hide();
    openClaw_->deleteLater();
    openClaw_ = nullptr;
  }
  if (!kind) return;
  if (!openClaw_) {
    openClaw_ = new OpenClawCard(*kind, sections_->parentWidget());
    OpenClawManager* agent = &OpenClawManager::shared();
    connect(openClaw_, &OpenClawCard::installRequested, agent, &OpenClawManager::installOpenClaw);
    connect(openClaw_, &OpenClawCard::startRequested, this, &HomeView::startGateway);
    connect(openClaw_, &OpenClawCard::stopRequested, agent, &OpenClawManager::stopGateway);
    connect(openClaw_, &OpenClawCard::uninstallRequested, agent, &OpenClawManager::uninstallOpenClaw);
    sections_->insertWidget(0, openClaw_);
    openClaw_->show();
  }
  openClaw_->render(manager.isStartingGateway(), manager.terminalUnavailable());
}

void HomeView::renderHotKeys() { hotKeys_->render(HotKeyManager::shared().configs()); }

void HomeView::renderLatest(bool force) {
  const QList<RecordingHistory>& records = HistoryStore::shared().records();
  latest_->render(records.isEmpty() ? std::nullopt : std::optional(records.first()), force);
}

void HomeView::startGateway() {
  // Tested and set before the start runs, so a second press starts nothing.
  OpenClawManager::shared().requestGatewayStart();
}

void HomeView::retry(const RecordingHistory& record) { retryRecord(record); }
