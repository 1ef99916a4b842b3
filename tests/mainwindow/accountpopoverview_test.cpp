// The account popover against the account store.
#include "mainwindow/accountpopoverview.h"

#include "fakeservice.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/accountinforow.h"
#include "mainwindow/badgelabel.h"
#include "mainwindow/creditsbar.h"
#include "mainwindow/mainview.h"
#include "mainwindow/myinvitecodesview.h"
#include "mainwindow/popover.h"
#include "mainwindow/rowbutton.h"
#include "mainwindow/symbolbutton.h"
#include "mainwindow/textlabel.h"
#include "service/authstore.h"
#include "theme/palette.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

using namespace Palette;

struct Plan {
  const char* name;
  QString tier;
  qint64 remaining;
  qint64 total;
  // What the popover shows.
  QString tierText;  // empty: the table's tierNone
  bool creditsShown;
  QString counts;
  QColor color;
  double fraction;
};

void PrintTo(const Plan& plan, std::ostream* out) { *out << plan.name; }

class AccountFigures : public ::testing::TestWithParam<Plan> {};

TEST_P(AccountFigures, TierAndCreditsReadAsTheAccountSays) {
  const Plan& plan = GetParam();
  AuthStore& store = AuthStore::shared();
  store.setEmail(QStringLiteral("ada@example.com"));
  store.setTier(plan.tier);
  store.setCreditsTotal(plan.total);
  store.setCreditsRemaining(plan.remaining);
  AccountPopoverView view([] {});
  view.show();

  const QString tierText = plan.tierText.isEmpty() ? currentStrings().tierNone : plan.tierText;
  EXPECT_EQ(view.tierBadge()->text(), tierText);
  EXPECT_EQ(view.planRow()->value(), tierText);
  EXPECT_EQ(view.emailRow()->value(), QStringLiteral("ada@example.com"));
  EXPECT_EQ(view.creditsBlock()->isVisible(), plan.creditsShown);
  if (!plan.creditsShown) return;
  EXPECT_EQ(view.creditsCount()->text(), plan.counts);
  EXPECT_EQ(view.creditsCount()->color(), plan.color);
  EXPECT_EQ(view.creditsBar()->color(), plan.color);
  EXPECT_DOUBLE_EQ(view.creditsBar()->fraction(), plan.fraction);
}

INSTANTIATE_TEST_SUITE_P(
    AccountPopoverView, AccountFigures,
    ::testing::Values(Plan{"trial without credits", "trial", 0, 0, "Beta", true, "0 / 0", neonRed, 0},
                      Plan{"no plan", "none", 0, 0, "", false, "", {}, 0},
                      Plan{"no tier at all", "", 0, 0, "", false, "", {}, 0},
                      Plan{"no plan but credits", "none", 500, 500, "", true, "500 / 500", neonGreen, 1},
                      Plan{"exactly half is orange", "pro", 250, 500, "PRO", true, "250 / 500", neonOrange, 0.5},
                      Plan{"above half is green", "pro", 251, 500, "PRO", true, "251 / 500", neonGreen, 0.502},
                      Plan{"exactly a fifth is red", "pro", 100, 500, "PRO", true, "100 / 500", neonRed, 0.2},
                      Plan{"above a fifth is orange", "pro", 101, 500, "PRO", true, "101 / 500", neonOrange, 0.202},
                      Plan{"more left than the total fills the bar", "max", 120, 100, "MAX", true, "120 / 100",
                           neonGreen, 1},
                      Plan{"a negative count leaves the bar empty", "pro", -5, 100, "PRO", true, "-5 / 100", neonRed,
                           0}));

TEST(AccountPopoverView, SignedOutItSaysSoAndTheResetDateFollowsTheLanguage) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  AuthStore& store = AuthStore::shared();
  store.setTier(QStringLiteral("trial"));
  AccountPopoverView view([] {});
  view.show();
  EXPECT_EQ(view.emailRow()->value(), currentStrings().notLoggedIn);

  const struct {
    const char* resetAt;
    std::optional<QString> english;
  } dates[] = {
      {"2025-03-05T12:00:00.250Z", QStringLiteral("Mar 5, 2025")},
      {"2025-03-05T12:00:00Z", QStringLiteral("Mar 5, 2025")},
      {"2025-03-05", std::nullopt},
      {"next month", std::nullopt},
  };
  for (const auto& date : dates) {
    store.setCreditsResetAt(QString::fromLatin1(date.resetAt));
    EXPECT_EQ(view.resetRow()->isVisible(), date.english.has_value()) << date.resetAt;
    if (date.english) {
      EXPECT_EQ(view.resetRow()->value(), *date.english) << date.resetAt;
    }
  }
  store.setCreditsResetAt(QStringLiteral("2025-03-05T12:00:00Z"));
  LanguageManager::shared().setCurrent(AppLanguage::ru);
  // ICU puts a narrow no-break space before the year's mark.
  EXPECT_EQ(view.resetRow()->value(), QStringLiteral("5 мар. 2025\u202Fг."));
  EXPECT_EQ(view.resetRow()->label(), stringsFor(AppLanguage::ru).accountCreditsReset);
  EXPECT_EQ(view.tierBadge()->text(), stringsFor(AppLanguage::ru).tierTrial);
}

TEST(AccountPopoverView, InviteCodesAreOfferedOnlyWhenTheServiceAllowsThem) {
  AuthStore& store = AuthStore::shared();
  store.setShowInviteCodesEnabled(false);
  int logouts = 0;
  AccountPopoverView view([&] { ++logouts; });
  view.show();
  EXPECT_FALSE(view.inviteCodesButton()->isVisible());
  EXPECT_TRUE(view.logoutButton()->isVisible());

  store.setShowInviteCodesEnabled(true);
  EXPECT_TRUE(view.inviteCodesButton()->isVisible()) << "follows the store while open";
  EXPECT_EQ(view.inviteCodesButton()->text(), currentStrings().myInviteCodesBtn);

  view.logoutButton()->click();
  EXPECT_EQ(logouts, 1);
}

TEST(AccountPopoverView, TheInviteCodesPopoverOpensClosesAndGoesWithTheView) {
  FakeService service;
  qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8());
  service.route("GET", "/veltrine/api/v1/auth/invite-codes", ScriptedResponse::json(200, R"({"invite_codes":[]})"));
  AuthStore::shared().setShowInviteCodesEnabled(true);
  auto* view = new AccountPopoverView([] {});
  view->show();

  view->inviteCodesButton()->click();
  ASSERT_TRUE(view->showInviteCodes());
  QPointer<Popover> popover = view->inviteCodesPopover();
  ASSERT_TRUE(popover);
  EXPECT_EQ(popover->arrowEdge(), Popover::ArrowEdge::trailing);
  auto* codes = qobject_cast<MyInviteCodesView*>(popover->content());
  ASSERT_TRUE(codes);
  EXPECT_TRUE(service.waitForRequests(1)) << "opening fetches the codes";

  // Its close button closes it.
  codes->closeButton()->click();
  EXPECT_FALSE(view->showInviteCodes());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(popover);

  // Opened again, it goes when the account popover goes (signing out).
  view->inviteCodesButton()->click();
  popover = view->inviteCodesPopover();
  ASSERT_TRUE(popover);
  delete view;
  EXPECT_FALSE(popover);
}

}  // namespace

namespace {

TEST(AccountPopoverInTheMainWindow, LogOutClosesThePopoverBeforeTheSessionEnds) {
  AuthStore& store = AuthStore::shared();
  store.setEmail(QStringLiteral("ada@example.com"));
  store.setToken(QStringLiteral("token"));
  MainView view;
  view.show();
  view.toggleAccountPopover();
  ASSERT_TRUE(view.accountPopover());
  auto* account = qobject_cast<AccountPopoverView*>(view.accountPopover()->content());
  ASSERT_TRUE(account);

  std::optional<bool> popoverOpenAtSignOut;
  QObject::connect(&store, &AuthStore::tokenChanged, [&] { popoverOpenAtSignOut = view.showAccountPopover(); });
  account->logoutButton()->click();
  EXPECT_EQ(popoverOpenAtSignOut, false);
  EXPECT_FALSE(store.isSignedIn());
}

}  // namespace
