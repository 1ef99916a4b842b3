// The settings page against the hotkey manager, the permission model, the
// language manager and the settings store, with the desktop faked.
#include "core/clock.h"
#include "core/userdefaults.h"
#include "fakesettingslauncher.h"
#include "mainwindow/hotkeybutton.h"
#include "mainwindow/hotkeyrow.h"
#include "mainwindow/keycaptureview.h"
#include "mainwindow/languagebutton.h"
#include "mainwindow/neontoggle.h"
#include "mainwindow/permissionrow.h"
#include "mainwindow/settingsview.h"
#include "mainwindow/symbolbutton.h"
#include "mainwindowtest.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/hotkeystorage.h"
#include "pipeline/permissionmanager.h"
#include "platform/virtualkeycodes.h"
#include "service/authstore.h"
#include "theme/palette.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QVBoxLayout>
#include "theme/neonbutton.h"

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
// screen beside a text field (showing it refreshes the permissions, and with
// them starts the listener).
class SettingsPage : public MainWindowTest {
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
  }

  void SetUp() override {
    window.show();
    ASSERT_TRUE(tap.running);
  }

  // The key button of `combo`'s row, clicked: its recording starts.
  void record(HotKeyCombo combo) {
    click(view->hotKeyRow(combo)->keyButton());
    ASSERT_TRUE(shows(*view, currentStrings().pressNewHotkey));
    ASSERT_EQ(view->hotKeyRow(combo)->keyButton()->text(), currentStrings().pressHotkeyHint);
  }

  // What the row of `combo` shows on its key button.
  QString shownKey(HotKeyCombo combo) const { return view->hotKeyRow(combo)->keyButton()->text(); }

  FakeSettingsLauncher settings;
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
  const HotKeyConfigMap before = HotKeyManager::shared().configs();
  record(capture.combo);
  EXPECT_TRUE(tap.running) << "the hotkeys keep working while one is recorded";

  type(field, capture.keys);

  EXPECT_FALSE(shows(*view, currentStrings().pressNewHotkey));
  EXPECT_FALSE(view->keyCapture()->isActive());
  EXPECT_TRUE(tap.running);
  EXPECT_TRUE(field->text().isEmpty()) << "the keys reach no control";
  HotKeyConfigMap expected = before;
  if (capture.stored) expected.insert(capture.combo, *capture.stored);
  EXPECT_EQ(HotKeyManager::shared().configs(), expected);
  EXPECT_EQ(HotKeyStorage::load(), expected) << "saved for the account";
  if (capture.stored && capture.stored->keyCode >= 0) {
    const KeyGrab grab{quint16(capture.stored->keyCode), quint64(capture.stored->modifiers), false};
    EXPECT_TRUE(tap.grabs.contains(grab)) << "the listener takes the new hotkey at once";
  }
  EXPECT_EQ(shownKey(capture.combo), expected.value(capture.combo).displayString());
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
        Capture{"Escape cancels and stores nothing",
                HotKeyCombo::transcribe,
                {press(Qt::Key_Escape, kScanEsc, Qt::ShiftModifier)},
                std::nullopt}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(SettingsPage, ARecordingEndsWithTheButtonAgainMovesToAnotherRowOrEndsWhenThePageGoes) {
  record(HotKeyCombo::transcribe);
  click(view->hotKeyRow(HotKeyCombo::agent)->keyButton());
  EXPECT_EQ(shownKey(HotKeyCombo::transcribe), QStringLiteral("Alt+Q"));
  EXPECT_EQ(shownKey(HotKeyCombo::agent), currentStrings().pressHotkeyHint);
  EXPECT_EQ(view->hotKeyRow(HotKeyCombo::agent)->keyButton()->accent(), Palette::neonOrange);
  EXPECT_TRUE(view->keyCapture()->isActive());

  click(view->hotKeyRow(HotKeyCombo::agent)->keyButton());
  EXPECT_EQ(shownKey(HotKeyCombo::agent), QStringLiteral("Alt+W"));
  EXPECT_FALSE(shows(*view, currentStrings().pressNewHotkey));
  EXPECT_FALSE(view->keyCapture()->isActive());
  EXPECT_TRUE(tap.running);

  record(HotKeyCombo::rewrite);
  window.hide();
  EXPECT_EQ(view->recordingCombo(), std::nullopt);
  EXPECT_FALSE(view->keyCapture()->isActive());
  EXPECT_TRUE(tap.running);
  EXPECT_EQ(HotKeyManager::shared().customizedCombos(), QSet<HotKeyCombo>{});
}

TEST_F(SettingsPage, ClearingRemovesTheHotkeyAndShowsTheBuiltInOne) {
  record(HotKeyCombo::rewrite);
  click(view->hotKeyRow(HotKeyCombo::rewrite)->clearButton());
  EXPECT_FALSE(HotKeyManager::shared().configs().contains(HotKeyCombo::rewrite));
  const QByteArray stored = UserDefaults::shared().bytes(HotKeyStorage::configsKey()).value_or(QByteArray());
  EXPECT_FALSE(QJsonDocument::fromJson(stored).object().contains(QStringLiteral("rewrite"))) << stored.toStdString();
  EXPECT_EQ(shownKey(HotKeyCombo::rewrite), currentStrings().pressHotkeyHint) << "clearing keeps the recording going";

  view->cancelRecording();
  EXPECT_EQ(shownKey(HotKeyCombo::rewrite), QStringLiteral("Alt+E"));
  EXPECT_FALSE(tap.grabs.contains(KeyGrab{14, kOptionFlag, false})) << "shown, never listened to";
}

TEST_F(SettingsPage, TheMicrophoneButtonAsksOnceUndeterminedElseOpensTheSettings) {
  using Authorization = MicrophoneAccess::Authorization;
  for (const auto& [authorization, requests] :
       {std::pair{Authorization::notDetermined, 1}, std::pair{Authorization::authorized, 0},
        std::pair{Authorization::denied, 0}}) {
    SCOPED_TRACE(int(authorization));
    microphone.status = authorization;
    microphone.requests = 0;
    settings.opened.clear();
    SettingsView page;
    page.show();  // refreshes the statuses
    click(page.microphoneRow()->actionButton());
    QCoreApplication::processEvents();
    EXPECT_EQ(microphone.requests, requests);
    EXPECT_EQ(settings.opened, requests ? QList<SettingsLauncher::Pane>{}
                                        : QList<SettingsLauncher::Pane>{SettingsLauncher::Pane::microphone});
    if (requests) {
      EXPECT_EQ(page.microphoneRow()->actionButton()->text(), currentStrings().manage);
    }
  }
}

}  // namespace
