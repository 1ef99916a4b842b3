// The hotword page against the hotword store and a fake service.
#include "localization/servermessages.h"
#include "mainwindow/dictionaryview.h"
#include "mainwindow/hotwordeditsheet.h"
#include "mainwindow/hotwordcountbadge.h"
#include "mainwindow/hotwordrow.h"
#include "mainwindow/plainbutton.h"
#include "mainwindow/textlabel.h"
#include "mainwindowtest.h"
#include "theme/cybertextfield.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>

namespace {

class HotwordPage : public MainWindowServiceTest {
 protected:
  // The service's list: words named w1, w2, ... with ids h1, h2, ...
  static QByteArray listOf(int count) {
    QJsonArray items;
    for (int i = 1; i <= count; ++i) {
      items.append(QJsonObject{{"id", QStringLiteral("h%1").arg(i)}, {"word", QStringLiteral("w%1").arg(i)}});
    }
    return QJsonDocument(QJsonObject{{"hotwords", items}}).toJson(QJsonDocument::Compact);
  }

  // The page on screen once its first fetch has been answered.
  void showLoaded() {
    view.resize(880, 720);
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.content() != DictionaryView::Content::loading; }));
  }

  // The words on screen, top to bottom.
  QStringList words() const {
    QList<HotWordRow*> rows = shownWidgets<HotWordRow>(view);
    std::sort(rows.begin(), rows.end(), [&](HotWordRow* a, HotWordRow* b) {
      return a->mapTo(&view, QPoint()).y() < b->mapTo(&view, QPoint()).y();
    });
    QStringList words;
    for (HotWordRow* row : rows) words.append(shownWidgets<TextLabel>(*row).value(0)->text());
    return words;
  }

  // The buttons of the row showing `word`.
  HotWordRow* row(const QString& word) const {
    for (HotWordRow* row : shownWidgets<HotWordRow>(view)) {
      if (shows(*row, word)) return row;
    }
    return nullptr;
  }

  HotWordEditSheet* sheet() const { return view.showSheet() ? view.sheet() : nullptr; }

  // Answers the question over the page with the button `answer`.
  void answer(const QString& question, const QString& button) {
    QMessageBox* box = view.deleteAlert();
    ASSERT_TRUE(box && box->isVisible());
    EXPECT_TRUE(shows(*box, question));
    click(shownWith(*box, button));
  }

  DictionaryView view;
};

TEST_F(HotwordPage, ShowsTheServicesListAfterLoadingItAndNothingFailsSilently) {
  ScriptedResponse slow = ScriptedResponse::json(200, listOf(2));
  slow.delay = std::chrono::milliseconds(300);
  service.enqueue("GET", apiPath("/hotwords"), slow);
  view.show();
  EXPECT_TRUE(shows(view, currentStrings().loading));
  ASSERT_TRUE(waitUntil([&] { return words() == QStringList{"w1", "w2"}; }));
  EXPECT_FALSE(shows(view, currentStrings().loading));
  EXPECT_EQ(view.countBadge()->text(), "2/30");

  // Nothing on the service: the empty state, not an error.
  service.enqueue("GET", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"hotwords":[]})"));
  view.hide();
  view.show();
  ASSERT_TRUE(waitUntil([&] { return shows(view, currentStrings().dictEmpty); }));
  EXPECT_TRUE(words().isEmpty());

  // A failed fetch says why, with a button that tries again.
  service.enqueue("GET", apiPath("/hotwords"),
                  ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR","message":"down"})"));
  view.hide();
  view.show();
  ASSERT_TRUE(waitUntil([&] { return shows(view, localizedServerError("PROVIDER_ERROR")); }));
  EXPECT_FALSE(shows(view, currentStrings().dictEmpty));
  service.enqueue("GET", apiPath("/hotwords"), ScriptedResponse::json(200, listOf(1)));
  clickText(view, currentStrings().retry);
  ASSERT_TRUE(waitUntil([&] { return words() == QStringList{"w1"}; }));
  EXPECT_FALSE(shows(view, localizedServerError("PROVIDER_ERROR")));

  // A later failure keeps the list it had, and says so over it.
  service.enqueue("GET", apiPath("/hotwords"),
                  ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR","message":"down"})"));
  view.hide();
  view.show();
  ASSERT_TRUE(waitUntil([&] { return shows(view, localizedServerError("PROVIDER_ERROR")); }));
  EXPECT_EQ(words(), QStringList{"w1"});
  EXPECT_LOOKS_RIGHT(view);
}

TEST_F(HotwordPage, AddingSendsTheTrimmedWordAndARefusalKeepsTheSheetOpenWithTheReason) {
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, listOf(1)));
  service.enqueue("POST", apiPath("/hotwords"),
                  ScriptedResponse::json(409, R"({"code":"HOTWORD_DUPLICATE","message":"dup"})"));
  service.enqueue("POST", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"id":"k","word":"Kubernetes"})"));
  showLoaded();
  clickText(view, currentStrings().add);
  sheet()->field()->setText(QStringLiteral("w1"));
  clickText(*sheet(), currentStrings().add);
  EXPECT_FALSE(sheet()->saveButton()->isEnabled()) << "one save at a time";
  const QString refusal = localizedServerError("HOTWORD_DUPLICATE");
  ASSERT_TRUE(waitUntil([&] { return sheet() && shows(*sheet(), refusal); }));
  EXPECT_EQ(sheet()->field()->text(), "w1");
  EXPECT_LOOKS_RIGHT(*sheet());
  // Changing the word clears the message.
  sheet()->field()->setText(QStringLiteral("  Kubernetes  "));
  EXPECT_FALSE(shows(*sheet(), refusal));

  clickText(*sheet(), currentStrings().add);
  ASSERT_TRUE(waitUntil([&] { return !sheet(); }));
  EXPECT_EQ(service.lastRequest().body, R"({"word":"Kubernetes"})");
  EXPECT_EQ(words(), (QStringList{"w1", "Kubernetes"}));
}

TEST_F(HotwordPage, EditingStartsFromTheWordAndRenamesInPlace) {
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, listOf(3)));
  service.enqueue("PUT", apiPath("/hotwords/h2"), ScriptedResponse::json(200, R"({"id":"h2","word":"Beta"})"));
  showLoaded();
  click(row("w2")->editButton());
  ASSERT_TRUE(sheet());
  EXPECT_EQ(sheet()->field()->text(), "w2");
  ASSERT_TRUE(shownWith(*sheet(), currentStrings().save));
  sheet()->field()->setText(QStringLiteral("Beta"));
  QTest::keyClick(sheet()->field(), Qt::Key_Return);  // Return saves
  ASSERT_TRUE(waitUntil([&] { return !sheet(); }));
  EXPECT_EQ(service.lastRequest().body, R"({"word":"Beta"})");
  EXPECT_EQ(words(), (QStringList{"w1", "Beta", "w3"}));

  // Escape cancels without a word sent.
  const int requests = service.requestCount();
  click(row("w1")->editButton());
  sheet()->field()->setText(QStringLiteral("changed"));
  QTest::keyClick(sheet(), Qt::Key_Escape);
  EXPECT_FALSE(sheet());
  EXPECT_EQ(service.requestCount(), requests);
  EXPECT_EQ(words(), (QStringList{"w1", "Beta", "w3"}));
}

TEST_F(HotwordPage, DeletingAsksFirstAndARefusalIsSaidOnThePage) {
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, listOf(2)));
  showLoaded();
  const int requests = service.requestCount();
  const AppStrings& strings = currentStrings();

  click(row("w1")->deleteButton());
  answer(strings.deleteHotwordConfirm("w1"), strings.cancel);
  EXPECT_FALSE(view.showDeleteAlert());
  EXPECT_EQ(service.requestCount(), requests);

  service.enqueue("DELETE", apiPath("/hotwords/h1"),
                  ScriptedResponse::json(404, R"({"code":"HOTWORD_NOT_FOUND","message":"gone"})"));
  click(row("w1")->deleteButton());
  answer(strings.deleteHotwordConfirm("w1"), strings.delete_);
  const QString refusal = localizedServerError("HOTWORD_NOT_FOUND");
  ASSERT_TRUE(waitUntil([&] { return shows(view, refusal); }));
  EXPECT_EQ(words(), (QStringList{"w1", "w2"}));
  EXPECT_LOOKS_RIGHT(view);

  service.enqueue("DELETE", apiPath("/hotwords/h1"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  click(row("w1")->deleteButton());
  answer(strings.deleteHotwordConfirm("w1"), strings.delete_);
  ASSERT_TRUE(waitUntil([&] { return words() == QStringList{"w2"}; }));
  EXPECT_FALSE(shows(view, refusal));
}

}  // namespace
