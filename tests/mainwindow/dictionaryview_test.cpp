#include "mainwindow/dictionaryview.h"

#include "localization/appstrings.h"
#include "localization/servermessages.h"
#include "mainwindow/emptystateview.h"
#include "mainwindow/hotwordcountbadge.h"
#include "mainwindow/hotwordrow.h"
#include "mainwindow/plainbutton.h"
#include "mainwindow/textlabel.h"
#include "mainwindowtest.h"
#include "service/dictionarystore.h"
#include "theme/cybertextfield.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QTest>

namespace {

class DictionaryViewTest : public MainWindowServiceTest {
 protected:
  // The service's list: words named w1, w2, ... with ids h1, h2, ...
  static QByteArray listOf(int count) {
    QJsonArray items;
    for (int i = 1; i <= count; ++i) {
      items.append(QJsonObject{{"id", QStringLiteral("h%1").arg(i)}, {"word", QStringLiteral("w%1").arg(i)}});
    }
    return QJsonDocument(QJsonObject{{"hotwords", items}}).toJson(QJsonDocument::Compact);
  }

  // A shown page once its first fetch has been answered.
  void showLoaded(DictionaryView& view) {
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.content() != DictionaryView::Content::loading; }));
  }

  static QStringList words(const DictionaryView& view) {
    QStringList words;
    for (HotWordRow* row : view.rows()) words.append(row->item().word);
    return words;
  }

  static QAbstractButton* alertButton(QMessageBox* box, const QString& text) {
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == text) return button;
    }
    return nullptr;
  }
};

TEST_F(DictionaryViewTest, ShowsTheServicesListAfterLoadingIt) {
  ScriptedResponse slow = ScriptedResponse::json(200, listOf(2));
  slow.delay = std::chrono::milliseconds(300);
  service.enqueue("GET", apiPath("/hotwords"), slow);
  DictionaryView view;
  view.show();
  EXPECT_EQ(view.content(), DictionaryView::Content::loading);
  ASSERT_TRUE(waitUntil([&] { return view.content() == DictionaryView::Content::list; }));
  EXPECT_EQ(words(view), (QStringList{"w1", "w2"}));
  EXPECT_EQ(view.countBadge()->text(), "2/30");
  EXPECT_TRUE(view.notice().isEmpty());

  // Nothing on the service: the empty state, not an error.
  service.enqueue("GET", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"hotwords":[]})"));
  view.hide();
  view.show();
  ASSERT_TRUE(waitUntil([&] { return view.content() == DictionaryView::Content::empty; }));
}

TEST_F(DictionaryViewTest, TheLimitOfThirtyDisablesOnlyAdding) {
  for (const auto& [count, badge, full] : {std::tuple{29, "29/30", false}, std::tuple{30, "30/30", true}}) {
    service.enqueue("GET", apiPath("/hotwords"), ScriptedResponse::json(200, listOf(count)));
    DictionaryView view;
    showLoaded(view);
    EXPECT_EQ(view.countBadge()->text(), badge);
    EXPECT_EQ(view.countBadge()->isFull(), full);
    EXPECT_EQ(view.addButton()->isEnabled(), !full);
    // Renaming stays possible at the limit.
    view.rows().constLast()->editButton()->click();
    EXPECT_TRUE(view.showSheet());
    view.sheet()->reject();
  }
}

TEST_F(DictionaryViewTest, AFailedFetchSaysWhyInsteadOfShowingAnEmptyList) {
  service.enqueue("GET", apiPath("/hotwords"),
                  ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR","message":"down"})"));
  DictionaryView view;
  showLoaded(view);
  EXPECT_EQ(view.content(), DictionaryView::Content::failed);
  EXPECT_EQ(view.failureView()->text(), localizedServerError("PROVIDER_ERROR"));

  // Trying again fetches again.
  service.enqueue("GET", apiPath("/hotwords"), ScriptedResponse::json(200, listOf(1)));
  view.failureView()->actionButton()->click();
  ASSERT_TRUE(waitUntil([&] { return view.content() == DictionaryView::Content::list; }));
  EXPECT_EQ(words(view), QStringList{"w1"});

  // A later failure keeps the list it had, and says so.
  service.enqueue("GET", apiPath("/hotwords"), ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR"})"));
  view.hide();
  view.show();
  ASSERT_TRUE(waitUntil([&] { return !view.notice().isEmpty(); }));
  EXPECT_EQ(view.content(), DictionaryView::Content::list);
  EXPECT_EQ(words(view), QStringList{"w1"});
}

TEST_F(DictionaryViewTest, TheSheetCountsTheTrimmedWordInCharacters) {
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, listOf(0)));
  DictionaryView view;
  showLoaded(view);
  view.addButton()->click();
  HotWordEditSheet* sheet = view.sheet();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->saveButton()->text(), currentStrings().add);
  const struct {
    QString typed;
    QString counter;
    bool tooLong;
    bool savable;
  } rows[] = {
      {"", "0/20", false, false},
      {"  \t ", "0/20", false, false},
      {"  Kubernetes  ", "10/20", false, true},
      {QString(20, u'a'), "20/20", false, true},
      {QString(21, u'a'), "21/20", true, false},
      // A family emoji of seven code points and an accented letter of two
      // are one character each.
      {QString::fromUtf8("👨‍👩‍👧‍👦e\u0301"), "2/20", false, true},
      {QString::fromUtf8("\u3000词\u00a0"), "1/20", false, true},
  };
  for (const auto& row : rows) {
    sheet->field()->setText(row.typed);
    EXPECT_EQ(sheet->counter()->text(), row.counter) << row.typed.toStdString();
    EXPECT_EQ(sheet->counter()->color(), row.tooLong ? Palette::neonRed : Palette::cyberTextTertiary);
    EXPECT_EQ(sheet->saveButton()->isEnabled(), row.savable) << row.typed.toStdString();
  }
}

TEST_F(DictionaryViewTest, AddingSendsTheTrimmedWordAndClosesTheSheet) {
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, listOf(1)));
  service.enqueue("POST", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"id":"k","word":"Kubernetes"})"));
  DictionaryView view;
  showLoaded(view);
  view.addButton()->click();
  view.sheet()->field()->setText(QStringLiteral("  Kubernetes  "));
  view.sheet()->saveButton()->click();
  EXPECT_TRUE(view.sheet()->isSaving());
  EXPECT_FALSE(view.sheet()->saveButton()->isEnabled());
  ASSERT_TRUE(waitUntil([&] { return !view.showSheet(); }));
  EXPECT_EQ(service.lastRequest().body, R"({"word":"Kubernetes"})");
  EXPECT_EQ(words(view), (QStringList{"w1", "Kubernetes"}));
}

TEST_F(DictionaryViewTest, AFailedSaveKeepsTheSheetOpenWithTheServicesMessage) {
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, listOf(1)));
  service.enqueue("POST", apiPath("/hotwords"),
                  ScriptedResponse::json(409, R"({"code":"HOTWORD_DUPLICATE","message":"dup"})"));
  DictionaryView view;
  showLoaded(view);
  view.addButton()->click();
  HotWordEditSheet* sheet = view.sheet();
  sheet->field()->setText(QStringLiteral("w1"));
  sheet->saveButton()->click();
  ASSERT_TRUE(waitUntil([&] { return !sheet->isSaving(); }));
  EXPECT_TRUE(view.showSheet());
  EXPECT_EQ(sheet->error(), localizedServerError("HOTWORD_DUPLICATE"));
  EXPECT_EQ(sheet->word(), "w1");
  EXPECT_TRUE(sheet->saveButton()->isEnabled());
  EXPECT_EQ(words(view), QStringList{"w1"});
  // Changing the word clears the message.
  sheet->field()->setText(QStringLiteral("w2"));
  EXPECT_FALSE(sheet->error().has_value());
}

TEST_F(DictionaryViewTest, EditingStartsFromTheWordAndRenamesInPlace) {
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, listOf(3)));
  service.enqueue("PUT", apiPath("/hotwords/h2"), ScriptedResponse::json(200, R"({"id":"h2","word":"Beta"})"));
  DictionaryView view;
  showLoaded(view);
  view.rows().at(1)->editButton()->click();
  HotWordEditSheet* sheet = view.sheet();
  EXPECT_EQ(sheet->word(), "w2");
  EXPECT_EQ(sheet->saveButton()->text(), currentStrings().save);
  EXPECT_EQ(view.editingItem()->id, "h2");
  sheet->field()->setText(QStringLiteral("Beta"));
  QTest::keyClick(sheet->field(), Qt::Key_Return);  // Return saves
  ASSERT_TRUE(waitUntil([&] { return !view.showSheet(); }));
  EXPECT_EQ(service.lastRequest().body, R"({"word":"Beta"})");
  EXPECT_EQ(words(view), (QStringList{"w1", "Beta", "w3"}));

  // Escape cancels without a word sent.
  const int requests = service.requestCount();
  view.rows().at(0)->editButton()->click();
  view.sheet()->field()->setText(QStringLiteral("changed"));
  QTest::keyClick(view.sheet(), Qt::Key_Escape);
  EXPECT_FALSE(view.showSheet());
  EXPECT_EQ(service.requestCount(), requests);
}

TEST_F(DictionaryViewTest, DeletingAsksFirstAndSaysWhenTheServiceRefuses) {
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, listOf(2)));
  DictionaryView view;
  showLoaded(view);
  const int requests = service.requestCount();

  view.rows().at(0)->deleteButton()->click();
  ASSERT_TRUE(view.showDeleteAlert());
  EXPECT_EQ(view.deleteAlert()->informativeText(), currentStrings().deleteHotwordConfirm("w1"));
  alertButton(view.deleteAlert(), currentStrings().cancel)->click();
  EXPECT_FALSE(view.showDeleteAlert());
  EXPECT_EQ(service.requestCount(), requests);

  service.enqueue("DELETE", apiPath("/hotwords/h1"),
                  ScriptedResponse::json(404, R"({"code":"HOTWORD_NOT_FOUND","message":"gone"})"));
  view.rows().at(0)->deleteButton()->click();
  alertButton(view.deleteAlert(), currentStrings().delete_)->click();
  ASSERT_TRUE(waitUntil([&] { return !view.notice().isEmpty(); }));
  EXPECT_EQ(view.notice(), localizedServerError("HOTWORD_NOT_FOUND"));
  EXPECT_EQ(words(view), (QStringList{"w1", "w2"}));

  service.enqueue("DELETE", apiPath("/hotwords/h1"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  view.rows().at(0)->deleteButton()->click();
  alertButton(view.deleteAlert(), currentStrings().delete_)->click();
  ASSERT_TRUE(waitUntil([&] { return view.rows().size() == 1; }));
  EXPECT_EQ(words(view), QStringList{"w2"});
  EXPECT_TRUE(view.notice().isEmpty());
}

TEST_F(DictionaryViewTest, SwitchingTheLanguageRedrawsThePage) {
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, listOf(0)));
  DictionaryView view;
  showLoaded(view);
  LanguageManager::shared().setCurrent(AppLanguage::ru);
  const AppStrings& russian = stringsFor(AppLanguage::ru);
  EXPECT_TRUE(shownTexts(view).contains(russian.pageDict));
  EXPECT_TRUE(shownTexts(view).contains(russian.dictDesc));
  EXPECT_TRUE(shownTexts(view).contains(russian.dictEmpty));
  EXPECT_EQ(view.addButton()->text(), russian.add);
}

}  // namespace
