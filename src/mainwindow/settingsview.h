#pragma once

#include "localization/applanguage.h"
#include "mainwindow/pagescaffold.h"
#include "pipeline/hotkeycombo.h"

#include <QColor>
#include <QMap>

#include <optional>

class HotKeyRow;
class KeyCaptureView;
class LanguageButton;
class NeonTitleLabel;
class NeonToggle;
class PermissionRow;
class QVBoxLayout;
class SectionHeader;
class TextLabel;

// The settings page of the main window: the three global hotkeys (recorded
// anew through the key capture field, or cleared), the microphone and desktop
// trust grants, the switch that lets recent clipboard text go with a request,
// and the interface language. It keeps no settings of its own: it writes
// through the hotkey manager, the permission model, the language manager and
// one settings key.
//
// While a new hotkey is recorded the hotkey listener is off, so pressing a
// combination that is already in use records it instead of starting a
// recording; it comes back when the recording ends, with the new hotkey.
//
// The main window creates a new page each time the tab is shown.
class SettingsView : public PageScaffold {
  Q_OBJECT
  Q_PROPERTY(bool clipboardEnabled READ clipboardEnabled NOTIFY clipboardEnabledChanged)

 public:
  static inline const QString kClipboardAccessKey = QStringLiteral("settings_clipboard_access_enabled");

  explicit SettingsView(QWidget* parent = nullptr);
  ~SettingsView() override;

  // The operation whose hotkey is being recorded.
  std::optional<HotKeyCombo> recordingCombo() const { return recordingCombo_; }
  bool clipboardEnabled() const { return clipboardEnabled_; }

  // The controls' actions.
  void toggleRecording(HotKeyCombo combo);
  void clearHotKey(HotKeyCombo combo);
  void saveRecordedHotKey(int keyCode, quint64 modifiers, bool requiresFn);
  void cancelRecording();
  void microphoneAction();
  void accessibilityAction();
  void setClipboardEnabled(bool enabled);
  void selectLanguage(AppLanguage language);

  HotKeyRow* hotKeyRow(HotKeyCombo combo) const { return hotKeyRows_.value(combo); }
  PermissionRow* microphoneRow() const { return microphoneRow_; }
  PermissionRow* accessibilityRow() const { return accessibilityRow_; }
  NeonToggle* clipboardSwitch() const { return clipboardSwitch_; }
  LanguageButton* languageButton(AppLanguage language) const { return languageButtons_.value(language); }
  KeyCaptureView* keyCapture() const { return keyCapture_; }
  TextLabel* recordingHint() const { return recordingHint_; }

 Q_SIGNALS:
  void recordingComboChanged();
  void clipboardEnabledChanged();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // A section's column, its header in place.
  QVBoxLayout* startSection(QWidget* section, const QString& key, const QString& symbol, const QColor& color);
  QWidget* buildHotKeySection();
  QWidget* buildPermissionSection();
  QWidget* buildPrivacySection();
  QWidget* buildLanguageSection();
  void retranslate();
  void refreshHotKeys();
  void refreshPermissions();
  void refreshLanguages();
  void setRecordingCombo(std::optional<HotKeyCombo> combo);

  std::optional<HotKeyCombo> recordingCombo_;
  bool clipboardEnabled_ = false;
  // The listener ran when the recording began and was stopped for it.

  NeonTitleLabel* title_ = nullptr;
  QMap<QString, SectionHeader*> headers_;
  QMap<HotKeyCombo, HotKeyRow*> hotKeyRows_;
  TextLabel* recordingHint_ = nullptr;
  KeyCaptureView* keyCapture_ = nullptr;
  PermissionRow* microphoneRow_ = nullptr;
  PermissionRow* accessibilityRow_ = nullptr;
  TextLabel* clipboardTitle_ = nullptr;
  TextLabel* clipboardDescription_ = nullptr;
  NeonToggle* clipboardSwitch_ = nullptr;
  QMap<AppLanguage, LanguageButton*> languageButtons_;
};
