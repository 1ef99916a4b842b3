// The user's own invite codes: fetched from a fake service, shown, copied.
#include "mainwindow/myinvitecodesview.h"

#include "awaittask.h"
#include "core/clock.h"
#include "fakepasteboard.h"
#include "fakeservice.h"
#include "localization/appstrings.h"
#include "mainwindow/badgelabel.h"
#include "mainwindow/invitecoderow.h"
#include "mainwindow/myinvitecodesviewmodel.h"
#include "mainwindow/symbolbutton.h"
#include "mainwindow/textlabel.h"
#include "mainwindow/themedscrollarea.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QPointer>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

constexpr const char* kPath = "/veltrine/api/v1/auth/invite-codes";

QByteArray codesJson(const QList<QByteArray>& items) { return R"({"invite_codes":[)" + items.join(',') + "]}"; }

QByteArray available(const char* code) {
  return QStringLiteral(R"({"code":"%1","is_used":false})").arg(QLatin1String(code)).toUtf8();
}

ScriptedResponse delayed(ScriptedResponse response, int milliseconds) {
  response.delay = std::chrono::milliseconds(milliseconds);
  return response;
}

class InviteCodes : public ::testing::Test {
 protected:
  InviteCodes() { qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8()); }

  FakeService service;
};

TEST_F(InviteCodes, EachCodeShowsItsStateAndOnlyAvailableOnesCanBeCopied) {
  service.route("GET", kPath,
                ScriptedResponse::json(200, codesJson({available("ABCD2345"),
                                                       R"({"code":"USED0001","is_used":true,"used_by":"bo@x.io",)"
                                                       R"("used_at":"2025-01-01T00:00:00Z"})",
                                                       R"({"code":"GONE12","is_used":true})",
                                                       R"({"code":"EMPTY123","is_used":true,"used_by":""})"})));
  int dismissed = 0;
  MyInviteCodesView view([&] { ++dismissed; });
  view.show();
  EXPECT_EQ(view.state(), MyInviteCodesView::State::loading);
  ASSERT_TRUE(waitUntil([&] { return view.state() == MyInviteCodesView::State::list; }));
  EXPECT_EQ(service.lastRequest().header("Authorization"), QByteArray()) << "signed out: no token";

  const QList<InviteCodeRow*> rows = view.rows();
  ASSERT_EQ(rows.size(), 4);
  const struct {
    QString shown;
    QString badge;
    bool copyable;
    std::optional<QString> usedBy;
  } expected[] = {
      {QStringLiteral("ABCD-2345"), currentStrings().myInviteCodeUnused, true, std::nullopt},
      {QStringLiteral("USED-0001"), currentStrings().myInviteCodeUsed, false, QStringLiteral("bo@x.io")},
      {QStringLiteral("GONE12"), currentStrings().myInviteCodeUsed, false, std::nullopt},
      {QStringLiteral("EMPT-Y123"), currentStrings().myInviteCodeUsed, false, QString()},
  };
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(rows[i]->codeLabel()->text(), expected[i].shown);
    EXPECT_EQ(rows[i]->badge()->text(), expected[i].badge);
    EXPECT_EQ(rows[i]->copyButton() != nullptr, expected[i].copyable) << i;
    EXPECT_EQ(rows[i]->codeLabel()->color(), expected[i].copyable ? Palette::neonCyan : Palette::cyberTextTertiary);
    EXPECT_EQ(rows[i]->usedByValue() != nullptr, expected[i].usedBy.has_value()) << i;
    if (expected[i].usedBy && rows[i]->usedByValue()) {
      EXPECT_EQ(rows[i]->usedByValue()->text(), *expected[i].usedBy);
    }
  }
  EXPECT_LE(view.listArea()->height(), 4 * MyInviteCodesView::rowHeight);
  EXPECT_EQ(view.listArea()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

  view.closeButton()->click();
  EXPECT_EQ(dismissed, 1);
}

TEST_F(InviteCodes, TheListAreaHoldsFiveCodesAndScrollsBeyond) {
  for (int count : {0, 3, 7}) {
    QList<QByteArray> items;
    for (int i = 0; i < count; ++i) items << available(QByteArray("CODE000") + QByteArray::number(i));
    service.enqueue("GET", kPath, ScriptedResponse::json(200, codesJson(items)));
    MyInviteCodesView view([] {});
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.state() == MyInviteCodesView::State::list && !view.viewModel()->isLoading(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(view.rows().size(), count);
    EXPECT_LE(view.listArea()->height(), MyInviteCodesView::rowHeight * std::min(count, 5)) << count;
    if (count == 0) {
      EXPECT_EQ(view.listArea()->height(), 0);
    }
    if (count > 0 && count <= 5) {
      // Up to five codes the list is as tall as they are: the last one is
      // in view, whole.
      const InviteCodeRow& last = *view.rows().last();
      const QWidget& viewport = *view.listArea()->viewport();
      EXPECT_LE(last.mapTo(&viewport, QPoint(0, last.height())).y(), viewport.height()) << count;
    }
    EXPECT_EQ(view.listArea()->verticalScrollBarPolicy(), count > 5 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  }
}

TEST_F(InviteCodes, AFailureSaysWhyAndRetryCanRecover) {
  service.enqueue("GET", kPath,
                  ScriptedResponse::json(403, R"({"code":"INVALID_INVITE_CODE","message":"nope"})"));
  service.enqueue("GET", kPath, ScriptedResponse::json(200, R"({"invite_codes":[{"code":"X"}]})"));
  service.enqueue("GET", kPath, ScriptedResponse::json(200, codesJson({available("ABCD2345")})));
  MyInviteCodesView view([] {});
  view.show();

  const QString undecodable = currentStrings().errorDecode;
  for (const QString& message : {currentStrings().errorInvalidInviteCode, undecodable}) {
    ASSERT_TRUE(waitUntil([&] { return view.state() == MyInviteCodesView::State::failed; }));
    EXPECT_EQ(view.errorLabel()->text(), message);
    EXPECT_EQ(view.retryButton()->text(), currentStrings().retry);
    view.retryButton()->click();
    EXPECT_EQ(view.state(), MyInviteCodesView::State::loading);
  }
  ASSERT_TRUE(waitUntil([&] { return view.state() == MyInviteCodesView::State::list; }));
  EXPECT_EQ(view.viewModel()->errorMessage(), std::nullopt);
  EXPECT_EQ(view.rows().size(), 1);
  EXPECT_EQ(service.requestCount(), 3);
}

TEST_F(InviteCodes, NoAnswerAtAllShowsTheNetworkWording) {
  ScriptedResponse hangUp;
  hangUp.closeWithoutAnswer = true;
  service.route("GET", kPath, hangUp);
  MyInviteCodesViewModel model;
  awaitTask(model.load());
  ASSERT_TRUE(model.errorMessage());
  EXPECT_FALSE(model.errorMessage()->isEmpty());
  EXPECT_FALSE(model.isLoading());
}

TEST_F(InviteCodes, TheLoadStartedLastDecidesAndALoadOutlivingItsModelChangesNothing) {
  service.enqueue("GET", kPath, delayed(ScriptedResponse::json(200, codesJson({available("OLD00000")})), 300));
  service.enqueue("GET", kPath, ScriptedResponse::json(200, codesJson({available("NEW00000")})));
  MyInviteCodesViewModel model;
  auto first = model.load();
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1; })) << "the slow answer goes to the first load";
  awaitTask(model.load());
  awaitTask(std::move(first));
  ASSERT_EQ(model.codes().size(), 1);
  EXPECT_EQ(model.codes().first().code, QStringLiteral("NEW00000"));
  EXPECT_FALSE(model.isLoading());

  service.enqueue("GET", kPath, delayed(ScriptedResponse::json(200, codesJson({available("LATE0000")})), 100));
  auto* closing = new MyInviteCodesViewModel;
  auto late = closing->load();
  delete closing;
  awaitTask(std::move(late));  // resumes without its model and must not touch it
}

TEST_F(InviteCodes, CopyingPutsTheBareCodeOnTheClipboardAndTheMarkLastsTwoSecondsAfterTheLatestCopy) {
  FakePasteboard pasteboard;
  Clock::setTimeScaleForTesting(0.1);  // two seconds take 200 ms
  InviteCodeRow row({QStringLiteral("ABCD2345"), false, std::nullopt, std::nullopt});
  EXPECT_EQ(row.copyButton()->toolTip(), currentStrings().btnCopy);

  row.copyButton()->click();
  EXPECT_EQ(pasteboard.string(), QStringLiteral("ABCD2345"));
  EXPECT_TRUE(row.isCopied());
  EXPECT_EQ(row.copyButton()->symbol(), QStringLiteral("checkmark"));
  EXPECT_EQ(row.copyButton()->toolTip(), currentStrings().myInviteCodeCopied);

  // Copied again a second later: the first copy's reset must not clear it.
  QEventLoop wait;
  QTimer::singleShot(100, &wait, &QEventLoop::quit);
  wait.exec();
  row.copyButton()->click();
  QTimer::singleShot(150, &wait, &QEventLoop::quit);
  wait.exec();
  EXPECT_TRUE(row.isCopied()) << "2.5 s after the first copy, 1.5 s after the second";
  EXPECT_TRUE(waitUntil([&] { return !row.isCopied(); }));
  EXPECT_EQ(row.copyButton()->symbol(), QStringLiteral("doc.on.doc"));
  EXPECT_EQ(row.copyButton()->toolTip(), currentStrings().btnCopy);
  Clock::setTimeScaleForTesting(1);
}

TEST(InviteCodeRow, OnlyEightCharacterCodesAreGrouped) {
  const struct {
    QString code;
    QString shown;
  } cases[] = {
      {QStringLiteral("ABCD2345"), QStringLiteral("ABCD-2345")},
      {QStringLiteral("AB2345"), QStringLiteral("AB2345")},
      {QStringLiteral("ABCDE2345"), QStringLiteral("ABCDE2345")},
      {QString(), QString()},
      // Eight characters as a person counts them, one of them two code units.
      {QStringLiteral("AB\u00E9\U0001F600WXYZ"), QStringLiteral("AB\u00E9\U0001F600-WXYZ")},
      {QStringLiteral("ABCe\u0301WXYZ"), QStringLiteral("ABCe\u0301-WXYZ")},
  };
  for (const auto& c : cases) EXPECT_EQ(InviteCodeRow::displayCode(c.code), c.shown) << c.code.toStdString();
}

}  // namespace
