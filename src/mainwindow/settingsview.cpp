#include "mainwindow/settingsview.h"

#include "core/clock.h"
#include "core/userdefaults.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/hotkeyrow.h"
#include "mainwindow/keycaptureview.h"
#include "mainwindow/languagebutton.h"
#include "mainwindow/neontoggle.h"
#include "mainwindow/permissionrow.h"
#include "mainwindow/sectionheader.h"
#include "mainwindow/symbolview.h"
#include "mainwindow/textlabel.h"
#include "mainwindow/themedscrollarea.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/hotkeystorage.h"
#include "pipeline/permissionmanager.h"
#include "pipeline/systemsettings.h"
#include "service/authstore.h"
#include "theme/crossfade.h"
#include "theme/cyberdividerline.h"
#include "theme/fonts.h"
#include "theme/neoncard.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

using namespace Palette;

namespace {

NeonCard* makeCard(QWidget* parent) { return new NeonCard(cyberBorder, 4, parent); }

// The rows of a card, one under the other, edge to edge.
QVBoxLayout* cardRows(NeonCard* card) {
  auto* rows = new QVBoxLayout(card);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->setSpacing(0);
  return rows;
}

// The line between two rows of a card, indented like the rows' content.
QWidget* rowDivider(QWidget* parent) {
  auto* holder = new QWidget(parent);
  auto* row = new QHBoxLayout(holder);
  row->setContentsMargins(22, 0, 0, 0);
  row->addWidget(new CyberDividerLine(cyberSeparator, holder));
  return holder;
}

}  // namespace

SettingsView::SettingsView(QWidget* parent) : PageScaffold(parent) {
  clipboardEnabled_ = UserDefaults::shared().boolean(kClipboardAccessKey).value_or(false);

  title_ = new NeonTitleLabel(QString(), {neonCyan, neonGreen}, 22, this);
  headerLayout()->addWidget(title_);
  headerLayout()->addStretch();

  auto* scroll = new ThemedScrollArea(this);
  auto* sections = new QVBoxLayout(scroll->content());
  sections->setContentsMargins(36, 32, 36, 32);
  sections->setSpacing(36);
  sections->addWidget(buildHotKeySection());
  sections->addWidget(buildPermissionSection());
  sections->addWidget(buildPrivacySection());
  sections->addWidget(buildLanguageSection());
  sections->addStretch();
  contentLayout()->addWidget(scroll);

  auto& permissions = PermissionManager::shared();
  connect(&permissions, &PermissionManager::microphoneStatusChanged, this, &SettingsView::refreshPermissions);
  connect(&permissions, &PermissionManager::accessibilityStatusChanged, this, &SettingsView::refreshPermissions);
  connect(&HotKeyManager::shared(), &HotKeyManager::configsChanged, this, &SettingsView::refreshHotKeys);
  connect(&HotKeyManager::shared(), &HotKeyManager::refusedCombosChanged, this, &SettingsView::refreshHotKeys);
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &SettingsView::retranslate);
  retranslate();
}

SettingsView::~SettingsView() { cancelRecording(); }

QVBoxLayout* SettingsView::startSection(QWidget* section, const QString& key, const QString& symbol,
                                        const QColor& color) {
  auto* column = new QVBoxLayout(section);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(18);
  auto* header = new SectionHeader(symbol, color, section);
  headers_.insert(key, header);
  column->addWidget(header);
  return column;
}

QWidget* SettingsView::buildHotKeySection() {
  auto* section = new QWidget();
  QVBoxLayout* column = startSection(section, QStringLiteral("hotkeys"), QStringLiteral("keyboard"), neonGreen);

  auto* card = makeCard(section);
  QVBoxLayout* rows = cardRows(card);
  for (HotKeyCombo combo : allHotKeyCombos()) {
    if (!hotKeyRows_.isEmpty()) rows->addWidget(rowDivider(card));
    auto* row = new HotKeyRow(combo, card);
    connect(row, &HotKeyRow::tapped, this, &SettingsView::toggleRecording);
    connect(row, &HotKeyRow::cleared, this, &SettingsView::clearHotKey);
    hotKeyRows_.insert(combo, row);
    rows->addWidget(row);
  }
  column->addWidget(card);

  recordingHint_ = new TextLabel(rajdhaniSemiBold(13), neonOrange, section);
  recordingHint_->setGlow(Glow{withOpacity(neonOrange, 0.4), 3});
  recordingHint_->setVisible(false);
  column->addWidget(recordingHint_);

  // Invisible: it only listens, behind the section.
  keyCapture_ = new KeyCaptureView(section);
  keyCapture_->resize(1, 1);
  keyCapture_->lower();
  return section;
}

QWidget* SettingsView::buildPermissionSection() {
  auto* section = new QWidget();
  QVBoxLayout* column = startSection(section, QStringLiteral("permissions"), QStringLiteral("lock.shield"), neonCyan);

  auto* card = makeCard(section);
  QVBoxLayout* rows = cardRows(card);
  microphoneRow_ = new PermissionRow(QStringLiteral("mic.fill"), neonOrange, card);
  accessibilityRow_ = new PermissionRow(QStringLiteral("accessibility"), neonPurple, card);
  rows->addWidget(microphoneRow_);
  rows->addWidget(rowDivider(card));
  rows->addWidget(accessibilityRow_);
  connect(microphoneRow_, &PermissionRow::actionRequested, this, &SettingsView::microphoneAction);
  connect(accessibilityRow_, &PermissionRow::actionRequested, this, &SettingsView::accessibilityAction);
  column->addWidget(card);
  return section;
}

QWidget* SettingsView::buildPrivacySection() {
  auto* section = new QWidget();
  QVBoxLayout* column = startSection(section, QStringLiteral("privacy"), QStringLiteral("hand.raised.fill"), neonOrange);

  auto* card = makeCard(section);
  auto* row = new QHBoxLayout(card);
  row->setContentsMargins(22, 16, 22, 16);
  row->setSpacing(16);
  auto* symbol = new SymbolView(QStringLiteral("doc.on.clipboard"), 15, neonOrange, card);
  symbol->setFrame(QSize(24, symbol->sizeHint().height()));
  symbol->setGlow(Glow{withOpacity(neonOrange, 0.4), 3});
  row->addWidget(symbol);
  auto* texts = new QVBoxLayout();
  texts->setSpacing(5);
  clipboardTitle_ = new TextLabel(rajdhaniSemiBold(15), cyberTextPrimary, card);
  clipboardDescription_ = new TextLabel(rajdhaniMedium(12), cyberTextTertiary, card);
  clipboardDescription_->setWordWrap(true);
  texts->addWidget(clipboardTitle_);
  texts->addWidget(clipboardDescription_);
  row->addLayout(texts, 1);
  clipboardSwitch_ = new NeonToggle(neonOrange, card);
  // The stored value is shown, never written back: only a change is.
  clipboardSwitch_->setChecked(clipboardEnabled_);
  connect(clipboardSwitch_, &QAbstractButton::toggled, this, &SettingsView::setClipboardEnabled);
  row->addWidget(clipboardSwitch_);
  column->addWidget(card);
  return section;
}

QWidget* SettingsView::buildLanguageSection() {
  auto* section = new QWidget();
  QVBoxLayout* column = startSection(section, QStringLiteral("language"), QStringLiteral("globe"), neonPurple);

  auto* buttons = new QHBoxLayout();
  buttons->setSpacing(12);
  for (AppLanguage language : allAppLanguages()) {
    auto* button = new LanguageButton(language, section);
    connect(button, &QAbstractButton::clicked, this, [this, language] { selectLanguage(language); });
    languageButtons_.insert(language, button);
    buttons->addWidget(button);
  }
  buttons->addStretch();
  column->addLayout(buttons);
  return section;
}

void SettingsView::retranslate() {
  const AppStrings& strings = currentStrings();
  title_->setText(strings.pageSettings);
  headers_.value(QStringLiteral("hotkeys"))->setTitle(strings.sectionHotkeys);
  headers_.value(QStringLiteral("permissions"))->setTitle(strings.sectionPermissions);
  headers_.value(QStringLiteral("privacy"))->setTitle(strings.sectionPrivacy);
  headers_.value(QStringLiteral("language"))->setTitle(strings.languageLabel);
  recordingHint_->setText(strings.pressNewHotkey);
  clipboardTitle_->setText(strings.clipboardAccessTitle);
  clipboardSwitch_->setAccessibleName(strings.clipboardAccessTitle);
  clipboardDescription_->setText(strings.clipboardAccessDesc);
  refreshHotKeys();
  refreshPermissions();
  refreshLanguages();
}

void SettingsView::refreshHotKeys() {
  const AppStrings& strings = currentStrings();
  const HotKeyConfigMap& configs = HotKeyManager::shared().configs();
  const QList<HotKeyCombo>& refused = HotKeyManager::shared().refusedCombos();
  const struct {
    HotKeyCombo combo;
    QString title;
    QString subtitle;
  } rows[] = {
      {HotKeyCombo::transcribe, strings.hotkeyVoiceInput, strings.hotkeyVoiceInputDesc},
      {HotKeyCombo::rewrite, strings.hotkeyRewriteTitle, strings.hotkeyRewriteDesc},
      {HotKeyCombo::agent, strings.hotkeyAgentTitle, strings.hotkeyAgentDesc},
  };
  for (const auto& row : rows) {
    // A cleared operation shows its built-in combination; nothing is stored
    // for it and the listener does not react to it.
    const HotKeyConfig config = configs.value(row.combo, HotKeyStorage::defaultConfig(row.combo));
    hotKeyRows_.value(row.combo)->setState(row.title, row.subtitle, config, recordingCombo_ == row.combo,
                                           refused.contains(row.combo));
  }
  recordingHint_->setVisible(recordingCombo_.has_value());
}

void SettingsView::refreshPermissions() {
  const AppStrings& strings = currentStrings();
  const PermissionManager& permissions = PermissionManager::shared();
  microphoneRow_->setState(strings.permMicrophone, permissions.microphoneStatus());
  accessibilityRow_->setState(strings.permAccessibility, permissions.accessibilityStatus());
}

void SettingsView::refreshLanguages() {
  const AppLanguage current = LanguageManager::shared().current();
  for (auto button = languageButtons_.cbegin(); button != languageButtons_.cend(); ++button) {
    (*button)->setSelected(button.key() == current);
  }
}

void SettingsView::toggleRecording(HotKeyCombo combo) {
  if (recordingCombo_ == combo) {
    cancelRecording();
  } else {
    setRecordingCombo(combo);
  }
}

void SettingsView::clearHotKey(HotKeyCombo combo) {
  HotKeyManager& hotKeys = HotKeyManager::shared();
  if (hotKeys.configs().contains(combo)) hotKeys.removeConfig(combo);
  hotKeys.saveConfigs();
  refreshHotKeys();
}

void SettingsView::saveRecordedHotKey(int keyCode, quint64 modifiers, bool requiresFn) {
  if (!recordingCombo_) return;
  const HotKeyCombo combo = *recordingCombo_;
  HotKeyManager& hotKeys = HotKeyManager::shared();
  const HotKeyConfig config{static_cast<qint64>(modifiers), keyCode, requiresFn};
  // A combination the running listener watches was its press, handed to the
  // request flow; on X11 the capture still observes it, so it is passed over
  // here and the recording goes on. One that another application holds never
  // reached the listener: recording it again is the user's choice.
  if (hotKeys.isListening()) {
    for (auto inUse = hotKeys.configs().cbegin(); inUse != hotKeys.configs().cend(); ++inUse) {
      if (*inUse == config && !hotKeys.refusedCombos().contains(inUse.key())) return;
    }
  }
  hotKeys.setConfig(combo, config);
  hotKeys.markCustomized(combo);
  hotKeys.saveConfigs();
  setRecordingCombo(std::nullopt);
  hotKeys.stop();
  hotKeys.start(PermissionManager::shared().hotKeyPressedHandler());
}

void SettingsView::cancelRecording() {
  if (!recordingCombo_) return;
  setRecordingCombo(std::nullopt);
}

void SettingsView::setRecordingCombo(std::optional<HotKeyCombo> combo) {
  if (combo == recordingCombo_) return;
  // The hotkey listener keeps running meanwhile: a combination already in use
  // goes to the request flow as a press and never reaches the capture field.
  recordingCombo_ = combo;
  keyCapture_->update(
      combo.has_value(),
      [this](int keyCode, quint64 modifiers, bool requiresFn) { saveRecordedHotKey(keyCode, modifiers, requiresFn); },
      [this] { cancelRecording(); });
  refreshHotKeys();
  Q_EMIT recordingComboChanged();
}

void SettingsView::microphoneAction() {
  if (PermissionManager::shared().microphoneStatus() == PermissionStatus::notDetermined) {
    // The task ends by itself; the page learns the answer from the model.
    PermissionManager::shared().requestMicrophone();
  } else {
    openSystemURL(kMicrophoneSettingsAddress);
  }
}

void SettingsView::accessibilityAction() {
  PermissionManager::shared().requestAccessibility();
  QTimer::singleShot(Clock::scaledMs(500), qApp, [] { openAccessibilitySettings(); });
}

void SettingsView::setClipboardEnabled(bool enabled) {
  if (enabled == clipboardEnabled_) return;
  clipboardEnabled_ = enabled;
  UserDefaults::shared().setBoolean(kClipboardAccessKey, enabled);
  if (clipboardSwitch_->isChecked() != enabled) clipboardSwitch_->setChecked(enabled);
  Q_EMIT clipboardEnabledChanged();
}

void SettingsView::selectLanguage(AppLanguage language) {
  // Every text of the window changes at once: the window cross-fades to them.
  if (language != LanguageManager::shared().current()) CrossFade::start(window(), 200, QEasingCurve::InOutQuad);
  LanguageManager::shared().setCurrent(language);
}

void SettingsView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) PermissionManager::shared().refresh();
}

void SettingsView::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) cancelRecording();
}
