#include "pipeline/permissionmanager.h"

#include "awaittask.h"
#include "fakeaccessibilitytrust.h"
#include "fakekeyboardtap.h"
#include "fakemicrophoneaccess.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionhelpdialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Authorization = MicrophoneAccess::Authorization;

// The listener rule of refresh(): what the status was before, whether the
// desktop trusts us now and whether the listener already runs decide between
// starting it, stopping it and leaving it alone.
struct ListenerRuleCase {
  const char* name;
  PermissionStatus previous;
  bool listening;
  bool trustedNow;
  int starts;   // tap starts caused by the refresh
  int stops;    // tap stops caused by the refresh
  bool listeningAfter;
};

void PrintTo(const ListenerRuleCase& row, std::ostream* out) { *out << row.name; }

class ListenerRule : public ::testing::TestWithParam<ListenerRuleCase> {};

TEST_P(ListenerRule, RefreshStartsOrStopsTheListener) {
  const ListenerRuleCase& row = GetParam();
  FakeAccessibilityTrust trust;
  FakeMicrophoneAccess microphone(Authorization::authorized);
  FakeKeyboardTap tap;
  PermissionManager& permissions = PermissionManager::shared();
  HotKeyManager& hotKeys = HotKeyManager::shared();

  if (row.previous != PermissionStatus::notDetermined) {
    trust.trusted = row.previous == PermissionStatus::granted;
    permissions.checkAccessibilityQuietly();
  }
  ASSERT_EQ(permissions.accessibilityStatus(), row.previous);
  if (row.listening) hotKeys.start({});
  ASSERT_EQ(hotKeys.isListening(), row.listening);

  trust.trusted = row.trustedNow;
  const int startsBefore = tap.starts;
  const int stopsBefore = tap.stops;
  permissions.refresh();

  EXPECT_EQ(permissions.accessibilityStatus(), row.trustedNow ? PermissionStatus::granted : PermissionStatus::denied);
  EXPECT_EQ(tap.starts - startsBefore, row.starts);
  EXPECT_EQ(tap.stops - stopsBefore, row.stops);
  EXPECT_EQ(hotKeys.isListening(), row.listeningAfter);
}

INSTANTIATE_TEST_SUITE_P(
    PermissionManager, ListenerRule,
    ::testing::Values(
        ListenerRuleCase{"FirstRefreshWithTrustStarts", PermissionStatus::notDetermined, false, true, 1, 0, true},
        ListenerRuleCase{"TrustUnchangedAndRunningDoesNothing", PermissionStatus::granted, true, true, 0, 0, true},
        ListenerRuleCase{"TrustedButNotRunningStarts", PermissionStatus::granted, false, true, 1, 0, true},
        ListenerRuleCase{"TrustJustGrantedRestartsARunningListener", PermissionStatus::denied, true, true, 1, 1, true},
        ListenerRuleCase{"TrustWithdrawnWhileRunningStops", PermissionStatus::granted, true, false, 0, 1, false},
        ListenerRuleCase{"TrustWithdrawnWhileStoppedDoesNothing", PermissionStatus::granted, false, false, 0, 0, false},
        ListenerRuleCase{"StillUntrustedLeavesARunningListener", PermissionStatus::denied, true, false, 0, 0, true},
        ListenerRuleCase{"FirstRefreshWithoutTrustDoesNothing", PermissionStatus::notDetermined, false, false, 0, 0, false}),
    [](const ::testing::TestParamInfo<ListenerRuleCase>& info) { return info.param.name; });

TEST(PermissionManager, AHotkeyPressReachesTheRequestFlowThroughTheSignal) {
  FakeAccessibilityTrust trust(true);
  FakeMicrophoneAccess microphone;
  FakeKeyboardTap tap;
  PermissionManager& permissions = PermissionManager::shared();
  QSignalSpy presses(&permissions, &PermissionManager::hotKeyPressed);
  permissions.refresh();
  EXPECT_TRUE(tap.press({KeyTapEvent::Type::keyDown, 14, 0x80000, false, true, 0}));  // Alt+E
  ASSERT_TRUE(presses.wait(1000));
  EXPECT_EQ(presses.takeFirst().at(0).value<HotKeyCombo>(), HotKeyCombo::rewrite);
}

TEST(PermissionManager, TrustWithdrawnStopsOnceAndAFurtherRefreshDoesNotStopAgain) {
  FakeAccessibilityTrust trust(true);
  FakeMicrophoneAccess microphone;
  FakeKeyboardTap tap;
  PermissionManager& permissions = PermissionManager::shared();
  permissions.refresh();
  permissions.refresh();
  EXPECT_EQ(tap.starts, 1);

  trust.trusted = false;
  permissions.refresh();
  permissions.refresh();
  EXPECT_EQ(tap.stops, 1);
  EXPECT_FALSE(HotKeyManager::shared().isListening());
}

TEST(PermissionManager, MicrophoneAuthorizationMapsOntoTheStatusAndAllGranted) {
  FakeAccessibilityTrust trust(true);
  FakeMicrophoneAccess microphone;
  FakeKeyboardTap tap;
  PermissionManager& permissions = PermissionManager::shared();
  EXPECT_FALSE(permissions.allGranted());

  const struct {
    Authorization authorization;
    PermissionStatus status;
    bool allGranted;
  } rows[] = {
      {Authorization::notDetermined, PermissionStatus::notDetermined, false},
      {Authorization::restricted, PermissionStatus::denied, false},
      {Authorization::denied, PermissionStatus::denied, false},
      {Authorization::authorized, PermissionStatus::granted, true},
  };
  for (const auto& row : rows) {
    microphone.status = row.authorization;
    permissions.refresh();
    EXPECT_EQ(permissions.microphoneStatus(), row.status) << static_cast<int>(row.authorization);
    EXPECT_EQ(permissions.allGranted(), row.allGranted) << static_cast<int>(row.authorization);
  }
  trust.trusted = false;
  permissions.refresh();
  EXPECT_FALSE(permissions.allGranted());
  EXPECT_EQ(microphone.requests, 0) << "refresh never asks";
}

TEST(PermissionManager, RequestMicrophonePublishesTheAnswerAndLeavesTheRestAlone) {
  FakeAccessibilityTrust trust(true);
  FakeMicrophoneAccess microphone;
  FakeKeyboardTap tap;
  PermissionManager& permissions = PermissionManager::shared();

  microphone.grantOnRequest = false;
  awaitTask(permissions.requestMicrophone());
  EXPECT_EQ(permissions.microphoneStatus(), PermissionStatus::denied);
  microphone.grantOnRequest = true;
  awaitTask(permissions.requestMicrophone());
  EXPECT_EQ(permissions.microphoneStatus(), PermissionStatus::granted);

  EXPECT_EQ(microphone.requests, 2);
  EXPECT_EQ(permissions.accessibilityStatus(), PermissionStatus::notDetermined);
  EXPECT_EQ(tap.starts, 0);
}

TEST(PermissionManager, CheckAccessibilityExplainsOnlyWhenPromptedAndUntrusted) {
  FakeAccessibilityTrust trust(false);
  FakeKeyboardTap tap;
  PermissionManager& permissions = PermissionManager::shared();

  permissions.checkAccessibilityQuietly();
  EXPECT_EQ(permissions.accessibilityStatus(), PermissionStatus::denied);
  EXPECT_EQ(PermissionHelpDialog::current(), nullptr);

  permissions.requestAccessibility();
  ASSERT_NE(PermissionHelpDialog::current(), nullptr);
  EXPECT_TRUE(PermissionHelpDialog::current()->isVisible());
  EXPECT_TRUE(PermissionHelpDialog::current()->text().contains(trust.missingReason()));
  permissions.requestAccessibility();
  const QWidgetList windows = QApplication::topLevelWidgets();
  EXPECT_EQ(std::count_if(windows.begin(), windows.end(),
                          [](QWidget* widget) { return qobject_cast<QMessageBox*>(widget) && widget->isVisible(); }),
            1)
      << "a second prompt reuses the open explanation";

  trust.trusted = true;
  permissions.requestAccessibility();
  EXPECT_EQ(permissions.accessibilityStatus(), PermissionStatus::granted);
  EXPECT_EQ(tap.starts, 0) << "checking never starts the listener";
}

TEST(PermissionManager, BecomingActiveRefreshesAndStartsTheListener) {
  FakeAccessibilityTrust trust(true);
  FakeMicrophoneAccess microphone(Authorization::authorized);
  FakeKeyboardTap tap;
  PermissionManager& permissions = PermissionManager::shared();
  ASSERT_FALSE(HotKeyManager::shared().isListening());

  QWidget window;
  window.show();
  window.activateWindow();
  EXPECT_TRUE(waitUntil([] { return HotKeyManager::shared().isListening(); }));
  EXPECT_EQ(permissions.accessibilityStatus(), PermissionStatus::granted);
  EXPECT_EQ(permissions.microphoneStatus(), PermissionStatus::granted);
}

}  // namespace
