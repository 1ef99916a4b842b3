// The settings page against the hotkey manager, the permission model, the
// language manager and the settings store, with the desktop faked.
#include "mainwindow/settingsview.h"

#include "awaittask.h"
#include "core/clock.h"
#include "core/userdefaults.h"
#include "fakeaccessibilitytrust.h"
#include "fakekeyboardtap.h"
#include "fakemicrophoneaccess.h"
#include "fakesettingslauncher.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/hotkeybutton.h"
#include "mainwindow/hotkeyrow.h"
#include "mainwindow/keycaptureview.h"
#include "mainwindow/languagebutton.h"
#include "mainwindow/neontoggle.h"
#include "mainwindow/permissionrow.h"
#include "mainwindow/symbolbutton.h"
#include "mainwindow/textlabel.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/hotkeystorage.h"
#include "pipeline/permissionmanager.h"
#include "platform/virtualkeycodes.h"
#include "service/authstore.h"
#include "theme/neonbutton.h"
#include "theme/neontitlelabel.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

using namespace VirtualKeyCodes;

// X keycodes (evdev code + 8) of the keys the tests press.
constexpr quint32 kScanEsc = 9, kScanX = 53, kScanK = 45, kScanF5 = 71;
constexpr quint32 kScanLeftControl = 37, kScanLeftShift = 50, kScanRightAlt = 108;

struct Key {
  QEvent::Type type;
  int qtKey;
  quint32 scanCode;
  Qt::KeyboardModifiers modifiers;
};

Key press(int qtKey, quint32 scanCode, Qt::KeyboardModifiers modifiers = {}) {
  return {QEvent::KeyPress, qtKey, scanCode, modifiers};
}
Key release(int qtKey, quint32 scanCode, Qt::KeyboardModifiers modifiers = {}) {
  return {QEvent::KeyRelease, qtKey, scanCode, modifiers};
}

// Delivers the keys as Qt would to `target`, then lets the reports arrive.
void type(QWidget* target, const QList<Key>& keys) {
  for (const Key& key : keys) {
    QKeyEvent event(key.type, key.qtKey, key.modifiers, key.scanCode, 0, 0);
    QApplication::sendEvent(target, &event);
  }
  QCoreApplication::processEvents();
}

// A signed-in account whose listener runs on the fake tap, and the page on
// screen (which refreshes the permissions, and with them starts the listener).
class SettingsPage : public ::testing::Test {
 protected:
  SettingsPage() {
    AuthStore::shared().setEmail(QStringLiteral("user@example.com"));
    AuthStore::shared().setToken(QStringLiteral("token"));
    HotKeyManager::shared().loadConfigs();
    auto* layout = new QVBoxLayout(&window);
    field = new QLineEdit(&window);
    layout->addWidget(field);
    view = new SettingsView(&window);
    layout->addWidget(view);
    window.resize(880, 900);
    window.show();
  }

  void record(HotKeyCombo combo) {
    view->hotKeyRow(combo)->keyButton()->click();
    ASSERT_EQ(view->recordingCombo(), combo);
  }

  FakeAccessibilityTrust trust;
  FakeMicrophoneAccess microphone{MicrophoneAccess::Authorization::authorized};
  FakeSettingsLauncher settings;
  FakeKeyboardTap listenerTap;
  QWidget window;
  QLineEdit* field = nullptr;
  SettingsView* view = nullptr;
};

struct Capture {
  const char* name;
  HotKeyCombo combo;
  QList<Key> keys;
  std::optional<HotKeyConfig> stored;  // nothing: Escape, the recording was cancelled
};

void PrintTo(const Capture& capture, std::ostream* out) { *out << capture.name; }

class Recording : public SettingsPage, public ::testing::WithParamInterface<Capture> {};

TEST_P(Recording, StoresTheCombinationAndRestartsTheListenerWithIt) {
  const Capture& capture = GetParam();
  ASSERT_TRUE(listenerTap.running);
  const HotKeyConfigMap before = HotKeyManager::shared().configs();
  record(capture.combo);
  EXPECT_TRUE(listenerTap.running) << "the hotkeys keep working while one is recorded";
  EXPECT_TRUE(view->recordingHint()->isVisibleTo(view));

  type(field, capture.keys);

  EXPECT_EQ(view->recordingCombo(), std::nullopt);
  EXPECT_FALSE(view->keyCapture()->isActive());
  EXPECT_FALSE(view->recordingHint()->isVisibleTo(view));
  EXPECT_TRUE(listenerTap.running);
  EXPECT_TRUE(field->text().isEmpty()) << "the keys reach no control";
  HotKeyConfigMap expected = before;
  if (capture.stored) expected.insert(capture.combo, *capture.stored);
  EXPECT_EQ(HotKeyManager::shared().configs(), expected);
  EXPECT_EQ(HotKeyStorage::load(), expected) << "saved for the account";
  EXPECT_EQ(HotKeyManager::shared().customizedCombos().contains(capture.combo), capture.stored.has_value());
  if (capture.stored && capture.stored->keyCode >= 0) {
    const KeyGrab grab{quint16(capture.stored->keyCode), quint64(capture.stored->modifiers), false};
    EXPECT_TRUE(listenerTap.grabs.contains(grab)) << "the listener takes the new hotkey at once";
  }
  EXPECT_EQ(view->hotKeyRow(capture.combo)->keyButton()->text(),
            expected.value(capture.combo).displayString());
}

INSTANTIATE_TEST_SUITE_P(
    SettingsView, Recording,
    ::testing::Values(
        Capture{"control and shift with a key",
                HotKeyCombo::rewrite,
                {press(Qt::Key_Control, kScanLeftControl), press(Qt::Key_Shift, kScanLeftShift, Qt::ControlModifier),
                 press(Qt::Key_K, kScanK, Qt::ControlModifier | Qt::ShiftModifier)},
                HotKeyConfig{qint64(kControlFlag | kShiftFlag), 40, false}},
        Capture{"a key alone", HotKeyCombo::transcribe, {press(Qt::Key_F5, kScanF5)}, HotKeyConfig{0, 96, false}},
        Capture{"a lone right Alt",
                HotKeyCombo::agent,
                {press(Qt::Key_AltGr, kScanRightAlt), release(Qt::Key_AltGr, kScanRightAlt, Qt::AltModifier)},
                HotKeyConfig{qint64(kOptionFlag), -1, false}},
        Capture{"a letter typed into the focused field", HotKeyCombo::rewrite, {press(Qt::Key_X, kScanX)},
                HotKeyConfig{0, 7, false}},
        Capture{"Escape cancels and stores nothing",
                HotKeyCombo::transcribe,
                {press(Qt::Key_Escape, kScanEsc, Qt::ShiftModifier)},
                std::nullopt}));

TEST_F(SettingsPage, AHotkeyInUseGoesToTheRequestFlowWhileAnotherIsRecorded) {
  QList<HotKeyCombo> pressed;
  QObject::connect(&PermissionManager::shared(), &PermissionManager::hotKeyPressed, [&](HotKeyCombo combo) {
    pressed.append(combo);
  });
  record(HotKeyCombo::agent);
  // The listener takes the combination before any window sees it.
  EXPECT_TRUE(listenerTap.press({KeyTapEvent::Type::keyDown, 12, kOptionFlag, false, true, 0}));
  QCoreApplication::processEvents();
  EXPECT_EQ(pressed, QList<HotKeyCombo>{HotKeyCombo::transcribe});
  EXPECT_EQ(view->recordingCombo(), HotKeyCombo::agent) << "the recording goes on";
  EXPECT_EQ(HotKeyManager::shared().customizedCombos(), QSet<HotKeyCombo>{});
}

TEST_F(SettingsPage, ARecordingEndsWithTheButtonAgainOrMovesToAnotherRow) {
  record(HotKeyCombo::transcribe);
  const QString hint = currentStrings().pressHotkeyHint;
  EXPECT_EQ(view->hotKeyRow(HotKeyCombo::transcribe)->keyButton()->text(), hint);

  view->hotKeyRow(HotKeyCombo::agent)->keyButton()->click();
  EXPECT_EQ(view->recordingCombo(), HotKeyCombo::agent);
  EXPECT_TRUE(view->keyCapture()->isActive());
  EXPECT_EQ(view->hotKeyRow(HotKeyCombo::transcribe)->keyButton()->text(), QStringLiteral("Alt+Q"));
  EXPECT_EQ(view->hotKeyRow(HotKeyCombo::agent)->keyButton()->text(), hint);
  EXPECT_EQ(view->hotKeyRow(HotKeyCombo::agent)->keyButton()->accent(), Palette::neonOrange);

  view->hotKeyRow(HotKeyCombo::agent)->keyButton()->click();
  EXPECT_EQ(view->recordingCombo(), std::nullopt);
  EXPECT_FALSE(view->keyCapture()->isActive());
  EXPECT_TRUE(listenerTap.running);
  EXPECT_EQ(HotKeyManager::shared().customizedCombos(), QSet<HotKeyCombo>{});
}

TEST_F(SettingsPage, LeavingThePageCancelsTheRecording) {
  record(HotKeyCombo::rewrite);
  window.hide();
  EXPECT_EQ(view->recordingCombo(), std::nullopt);
  EXPECT_FALSE(view->keyCapture()->isActive());
  EXPECT_TRUE(listenerTap.running);
}

TEST_F(SettingsPage, ClearingRemovesTheHotkeyAndShowsTheBuiltInOne) {
  record(HotKeyCombo::rewrite);
  view->hotKeyRow(HotKeyCombo::rewrite)->clearButton()->click();
  EXPECT_FALSE(HotKeyManager::shared().configs().contains(HotKeyCombo::rewrite));
  const QByteArray stored = UserDefaults::shared().bytes(HotKeyStorage::configsKey()).value_or(QByteArray());
  EXPECT_FALSE(QJsonDocument::fromJson(stored).object().contains(QStringLiteral("rewrite"))) << stored.toStdString();
  EXPECT_EQ(view->recordingCombo(), HotKeyCombo::rewrite) << "clearing keeps the recording going";

  view->cancelRecording();
  EXPECT_EQ(view->hotKeyRow(HotKeyCombo::rewrite)->keyButton()->text(), QStringLiteral("Alt+E"));
  EXPECT_FALSE(listenerTap.grabs.contains(KeyGrab{14, kOptionFlag, false})) << "shown, never listened to";
  EXPECT_FALSE(HotKeyManager::shared().customizedCombos().contains(HotKeyCombo::rewrite));

  // Clearing what is already clear changes nothing.
  view->clearHotKey(HotKeyCombo::rewrite);
  EXPECT_EQ(HotKeyManager::shared().configs().size(), 2);
}

TEST_F(SettingsPage, AGlobalTapReportsOnceAndQtKeysAreOnlySwallowed) {
  FakeKeyboardTap captureTap;
  KeyboardTap::install(&listenerTap);  // the capture tap's constructor took the listener's slot
  KeyCaptureView::installGlobalTap(&captureTap);
  record(HotKeyCombo::transcribe);
  ASSERT_TRUE(captureTap.running);
  EXPECT_TRUE(captureTap.grabs.isEmpty()) << "the capture takes no key from anyone";
  EXPECT_TRUE(view->keyCapture()->capturesGlobally());

  // The same press arrives both ways when this program is in front.
  type(field, {press(Qt::Key_K, kScanK, Qt::ControlModifier)});
  EXPECT_EQ(view->recordingCombo(), HotKeyCombo::transcribe) << "Qt's copy is not reported";
  captureTap.press({KeyTapEvent::Type::keyDown, 40, kControlFlag, false, false, 0});
  QCoreApplication::processEvents();
  EXPECT_EQ(view->recordingCombo(), std::nullopt);
  EXPECT_FALSE(captureTap.running);
  EXPECT_EQ(HotKeyManager::shared().configs().value(HotKeyCombo::transcribe),
            (HotKeyConfig{qint64(kControlFlag), 40, false}));
  KeyCaptureView::installGlobalTap(nullptr);
}

struct ClipboardCase {
  const char* name;
  std::optional<bool> stored;
};

void PrintTo(const ClipboardCase& row, std::ostream* out) { *out << row.name; }

class ClipboardSwitch : public ::testing::TestWithParam<ClipboardCase> {};

TEST_P(ClipboardSwitch, ShowsTheStoredValueAndWritesOnlyChanges) {
  UserDefaults& defaults = UserDefaults::shared();
  const QString key = SettingsView::kClipboardAccessKey;
  if (GetParam().stored) defaults.setBoolean(key, *GetParam().stored);
  SettingsView view;
  view.show();
  const bool initial = GetParam().stored.value_or(false);
  EXPECT_EQ(view.clipboardSwitch()->isChecked(), initial);
  EXPECT_EQ(defaults.contains(key), GetParam().stored.has_value()) << "the initial value is not written back";

  view.clipboardSwitch()->click();
  EXPECT_EQ(defaults.boolean(key), !initial);
  EXPECT_EQ(UserDefaults(defaults.filePath()).boolean(key), !initial) << "on disk at once";
  view.clipboardSwitch()->click();
  EXPECT_EQ(defaults.boolean(key), initial);
}

INSTANTIATE_TEST_SUITE_P(SettingsView, ClipboardSwitch,
                         ::testing::Values(ClipboardCase{"never set", std::nullopt}, ClipboardCase{"off", false},
                                           ClipboardCase{"on", true}));

struct MicrophoneCase {
  const char* name;
  MicrophoneAccess::Authorization authorization;
  int requests;
  QList<SettingsLauncher::Pane> opened;
};

void PrintTo(const MicrophoneCase& row, std::ostream* out) { *out << row.name; }

class MicrophoneButton : public ::testing::TestWithParam<MicrophoneCase> {};

TEST_P(MicrophoneButton, AsksOnceUndeterminedElseOpensTheSettings) {
  FakeMicrophoneAccess microphone(GetParam().authorization);
  FakeAccessibilityTrust trust(false);
  FakeSettingsLauncher settings;
  SettingsView view;
  view.show();  // refreshes the statuses
  view.microphoneRow()->actionButton()->click();
  QCoreApplication::processEvents();
  EXPECT_EQ(microphone.requests, GetParam().requests);
  EXPECT_EQ(settings.opened, GetParam().opened);
  if (GetParam().requests > 0) {
    EXPECT_EQ(PermissionManager::shared().microphoneStatus(), PermissionStatus::granted);
    EXPECT_EQ(view.microphoneRow()->actionButton()->text(), currentStrings().manage);
  }
}

INSTANTIATE_TEST_SUITE_P(
    SettingsView, MicrophoneButton,
    ::testing::Values(
        MicrophoneCase{"undetermined", MicrophoneAccess::Authorization::notDetermined, 1, {}},
        MicrophoneCase{"granted", MicrophoneAccess::Authorization::authorized, 0, {SettingsLauncher::Pane::microphone}},
        MicrophoneCase{"denied", MicrophoneAccess::Authorization::denied, 0, {SettingsLauncher::Pane::microphone}}));

TEST(SettingsViewAccessibility, TheButtonAsksAndOpensTheSettingsHalfASecondLaterWhateverTheState) {
  Clock::setTimeScaleForTesting(0.02);
  for (bool trusted : {true, false}) {
    FakeAccessibilityTrust trust(trusted);
    FakeKeyboardTap tap;
    FakeSettingsLauncher settings;
    SettingsView view;
    view.show();
    view.accessibilityRow()->actionButton()->click();
    EXPECT_EQ(PermissionManager::shared().accessibilityStatus(),
              trusted ? PermissionStatus::granted : PermissionStatus::denied);
    EXPECT_TRUE(settings.opened.isEmpty()) << "not at once";
    EXPECT_TRUE(waitUntil([&] { return !settings.opened.isEmpty(); }));
    EXPECT_EQ(settings.opened, QList<SettingsLauncher::Pane>{SettingsLauncher::Pane::accessibility});
    EXPECT_EQ(view.accessibilityRow()->actionButton()->text(),
              trusted ? currentStrings().manage : currentStrings().permGoAuth);
  }
  Clock::setTimeScaleForTesting(1);
}

TEST(SettingsViewLanguage, AButtonChoosesTheLanguageAndEveryTextFollows) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  SettingsView view;
  view.show();
  for (AppLanguage language : {AppLanguage::ko, AppLanguage::zhHant, AppLanguage::en}) {
    view.languageButton(language)->click();
    EXPECT_EQ(LanguageManager::shared().current(), language);
    const AppStrings& strings = stringsFor(language);
    EXPECT_EQ(view.findChild<NeonTitleLabel*>()->text(), strings.pageSettings);
    EXPECT_EQ(view.recordingHint()->text(), strings.pressNewHotkey);
    EXPECT_EQ(view.microphoneRow()->actionButton()->text(), strings.permGoAuth);
    for (AppLanguage other : allAppLanguages()) {
      EXPECT_EQ(view.languageButton(other)->isSelected(), other == language);
      EXPECT_EQ(view.languageButton(other)->text(), displayName(other)) << "names are never translated";
    }
  }
}

}  // namespace
