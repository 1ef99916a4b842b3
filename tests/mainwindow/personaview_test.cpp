// The persona page against the persona store and a fake service.
#include "mainwindow/personaview.h"

#include "awaittask.h"
#include "fakeservice.h"
#include "localization/appstrings.h"
#include "mainwindow/badgelabel.h"
#include "mainwindow/emptystateview.h"
#include "mainwindow/mainview.h"
#include "mainwindow/moduleindicator.h"
#include "mainwindow/neonbusybutton.h"
#include "mainwindow/personaeditsheet.h"
#include "mainwindow/personalistcard.h"
#include "mainwindow/personatextfield.h"
#include "mainwindow/symbolbutton.h"
#include "mainwindow/textlabel.h"
#include "service/personastore.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

using namespace Palette;
using Content = PersonaView::Content;

constexpr const char* kList = "/veltrine/api/v1/personas";

QByteArray persona(const QString& id, bool active = false, const QString& prompts = QString()) {
  const QString switches = prompts.isEmpty()
                               ? QStringLiteral(R"("transcribe_enabled":false,"rewrite_enabled":false,"intent_enabled":false)")
                               : prompts;
  return QStringLiteral(R"({"id":"%1","name":"Persona %1","is_active":%2,"prompts":{%3}})")
      .arg(id, active ? QStringLiteral("true") : QStringLiteral("false"), switches)
      .toUtf8();
}

QByteArray listOf(const QList<QByteArray>& items) { return R"({"personas":[)" + items.join(',') + "]}"; }

QByteArray personas(int count) {
  QList<QByteArray> items;
  for (int i = 0; i < count; ++i) items << persona(QString::number(i));
  return listOf(items);
}

class PersonaPage : public ::testing::Test {
 protected:
  PersonaPage() { qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8()); }

  // Shows the page, which loads the list the service holds.
  void open(const QByteArray& list) {
    service.enqueue("GET", kList, ScriptedResponse::json(200, list));
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.content() != Content::loading; }));
  }

  PersonaListCard* card(int index) { return view.cards().value(index); }

  FakeService service;
  PersonaView view;
};

TEST_F(PersonaPage, TheLimitOfTenShowsInTheCountTheHeaderAndTheLimitLine) {
  const struct {
    int count;
    bool canCreate;
  } cases[] = {{9, true}, {10, false}, {12, false}};
  open(personas(0));
  for (const auto& c : cases) {
    service.enqueue("GET", kList, ScriptedResponse::json(200, personas(c.count)));
    awaitTask(view.load());
    EXPECT_EQ(view.content(), Content::list);
    EXPECT_EQ(view.cards().size(), c.count);
    EXPECT_EQ(view.newPersonaButton()->isVisible(), c.canCreate) << c.count;
    EXPECT_EQ(view.countLabel()->text(), QStringLiteral("%1 / 10 personas").arg(c.count));
    EXPECT_EQ(view.limitLabel()->isVisible(), !c.canCreate) << c.count;
    EXPECT_EQ(view.limitLabel()->text(), QStringLiteral("Limit reached (max 10)"));
    EXPECT_EQ(view.limitLabel()->color(), neonYellow);
  }
}

TEST_F(PersonaPage, WithoutPersonasBothButtonsOpenTheCreateSheet) {
  open(personas(0));
  EXPECT_EQ(view.content(), Content::empty);
  EXPECT_TRUE(view.newPersonaButton()->isVisible());
  for (NeonButton* button : {view.emptyStateButton(), view.newPersonaButton()}) {
    button->click();
    ASSERT_TRUE(view.editSheet());
    EXPECT_TRUE(view.showCreate());
    EXPECT_FALSE(view.editSheet()->item());
    view.editSheet()->cancelButton()->click();
    EXPECT_FALSE(view.showCreate());
  }
}

TEST_F(PersonaPage, AFailedLoadSaysSoInsteadOfShowingAnEmptyOrOldList) {
  open(personas(2));
  service.enqueue("GET", kList, ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR","message":"down"})"));
  service.enqueue("GET", kList, ScriptedResponse::json(200, personas(3)));
  auto reload = view.load();
  EXPECT_EQ(view.content(), Content::loading) << "a reload replaces the list with the loading view";
  awaitTask(std::move(reload));
  EXPECT_EQ(view.content(), Content::failed);
  EXPECT_EQ(view.failedView()->text(), currentStrings().errorProviderError);

  view.failedView()->actionButton()->click();
  ASSERT_TRUE(waitUntil([&] { return view.content() == Content::list; }));
  EXPECT_EQ(view.cards().size(), 3);
}

TEST_F(PersonaPage, ActivationBusiesEveryActivateButtonAndMovesTheMark) {
  open(listOf({persona("A", true), persona("B"), persona("C")}));
  ScriptedResponse slow = ScriptedResponse::json(200, persona("B", true));
  slow.delay = std::chrono::milliseconds(150);
  service.enqueue("POST", "/veltrine/api/v1/personas/B/activate", slow);

  card(1)->activateButton()->click();
  EXPECT_TRUE(view.isActivating());
  for (int i : {1, 2}) {
    EXPECT_TRUE(card(i)->activateButton()->isBusy());
    EXPECT_FALSE(card(i)->activateButton()->isEnabled()) << "no second activation meanwhile";
  }
  EXPECT_TRUE(card(0)->deactivateButton()->isEnabled());
  EXPECT_FALSE(card(0)->deactivateButton()->isBusy());

  ASSERT_TRUE(waitUntil([&] { return !view.isActivating(); }));
  EXPECT_FALSE(card(0)->activeBadge()->isVisible());
  EXPECT_EQ(card(0)->cardStyle().neon, cyberBorder);
  EXPECT_TRUE(card(1)->activeBadge()->isVisible());
  EXPECT_EQ(card(1)->cardStyle().neon, withOpacity(neonGreen, 0.3));
  EXPECT_TRUE(card(1)->deactivateButton()->isVisible());
  EXPECT_FALSE(card(1)->activateButton()->isVisible());

  service.enqueue("POST", "/veltrine/api/v1/personas/deactivate-all", ScriptedResponse::json(200, R"({"message":"ok"})"));
  card(1)->deactivateButton()->click();
  ASSERT_TRUE(waitUntil([&] { return !view.isDeactivating(); }));
  for (PersonaListCard* each : view.cards()) {
    EXPECT_TRUE(each->activateButton()->isVisible()) << each->persona().id.toStdString();
    EXPECT_FALSE(each->persona().isActive);
  }

  // A refused activation clears the spinner all the same.
  service.enqueue("POST", "/veltrine/api/v1/personas/C/activate", ScriptedResponse::json(500, "{}"));
  card(2)->activateButton()->click();
  ASSERT_TRUE(waitUntil([&] { return !view.isActivating(); }));
  EXPECT_FALSE(card(2)->activateButton()->isBusy());
  EXPECT_TRUE(card(2)->activateButton()->isEnabled());
}

TEST_F(PersonaPage, DeletingAsksFirstAndTheCardGoesOnlyWhenTheServiceAgrees) {
  open(listOf({persona("A"), persona("B")}));
  const auto answer = [&](PersonaListCard* card, bool confirm) {
    card->deleteButton()->click();
    QMessageBox* question = card->deleteConfirmation();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->text(), currentStrings().deleteConfirm);
    for (QAbstractButton* button : question->buttons()) {
      if (button->text() == (confirm ? currentStrings().delete_ : currentStrings().cancel)) button->click();
    }
  };

  answer(card(0), false);
  QCoreApplication::processEvents();
  EXPECT_EQ(service.requestCount(), 1) << "cancelled: nothing sent";

  service.enqueue("DELETE", "/veltrine/api/v1/personas/A", ScriptedResponse::json(500, "{}"));
  answer(card(0), true);
  ASSERT_TRUE(service.waitForRequests(2));
  ASSERT_TRUE(waitUntil([] { return PersonaStore::shared().errorMessage().has_value(); }));
  EXPECT_EQ(view.cards().size(), 2) << "refused: the card stays";

  service.enqueue("DELETE", "/veltrine/api/v1/personas/A", ScriptedResponse::json(200, R"({"message":"ok"})"));
  answer(card(0), true);
  ASSERT_TRUE(waitUntil([&] { return view.cards().size() == 1; }));
  EXPECT_EQ(card(0)->persona().id, QStringLiteral("B"));
}

TEST_F(PersonaPage, TheModuleRowShowsWhichPromptsAreKeptAndWhichAreOn) {
  open(listOf({persona("none"),
               persona("one", false,
                       QStringLiteral(R"("transcribe_prompt":"","transcribe_enabled":false,)"
                                      R"("rewrite_enabled":false,"intent_enabled":true)"))}));
  EXPECT_FALSE(card(0)->moduleRow()->isVisible()) << "no prompt at all: no row";
  ASSERT_TRUE(card(1)->moduleRow()->isVisible()) << "an empty prompt still counts";
  const QList<ModuleIndicator*>& indicators = card(1)->indicators();
  EXPECT_EQ(indicators[0]->symbolColor(), withOpacity(cyberTextTertiary, 0.4));
  EXPECT_EQ(indicators[0]->dotColor(), withOpacity(cyberTextTertiary, 0.3));
  EXPECT_EQ(indicators[1]->dotColor(), clear);
  EXPECT_EQ(indicators[2]->symbolColor(), neonYellow) << "switched on without a prompt";
  EXPECT_EQ(indicators[2]->dotColor(), neonYellow);
}

TEST_F(PersonaPage, SavingAnEditChangesTheCardThroughTheStoreWithoutAReload) {
  open(listOf({persona("A"), persona("B")}));
  card(1)->editButton()->click();
  ASSERT_TRUE(view.editSheet());
  EXPECT_EQ(view.editingItem()->id, QStringLiteral("B"));
  service.enqueue("PUT", "/veltrine/api/v1/personas/B",
                  ScriptedResponse::json(200, R"({"id":"B","name":"Renamed","is_active":false,"description":"d",)"
                                              R"("prompts":{"transcribe_enabled":false,"rewrite_enabled":false,)"
                                              R"("intent_enabled":false}})"));
  view.editSheet()->nameField()->setText(QStringLiteral("Renamed"));
  view.editSheet()->saveButton()->click();
  ASSERT_TRUE(waitUntil([&] { return !view.editingItem(); }));
  EXPECT_EQ(card(1)->nameLabel()->text(), QStringLiteral("Renamed"));
  EXPECT_TRUE(card(1)->descriptionLabel()->isVisible());
  EXPECT_EQ(service.requestCount(), 2) << "one load, one update";
}

TEST_F(PersonaPage, TheMainWindowShowsThePageForItsPersonaEntry) {
  MainView window;
  window.setSelectedTab(SidebarTab::persona);
  EXPECT_NE(qobject_cast<PersonaView*>(window.page()), nullptr);
}

}  // namespace
