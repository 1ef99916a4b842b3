// The persona page and its editor against the persona store and a fake
// service; a module prompt while it is edited.
#include "core/charactercount.h"
#include "mainwindow/moduledraft.h"
#include "mainwindow/moduleindicator.h"
#include "mainwindow/neonbusybutton.h"
#include "mainwindow/neontoggle.h"
#include "mainwindow/personaeditsheet.h"
#include "mainwindow/personalistcard.h"
#include "mainwindow/personamodulecard.h"
#include "mainwindow/personatextfield.h"
#include "mainwindow/personaview.h"
#include "mainwindow/textlabel.h"
#include "mainwindowtest.h"
#include "service/personastore.h"
#include "theme/palette.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPlainTextEdit>
#include "theme/neonbutton.h"

namespace {

using namespace Palette;

QByteArray persona(const QString& id, bool active = false, const QString& prompts = QString(),
                   const QString& extra = QString()) {
  const QString switches = prompts.isEmpty()
                               ? QStringLiteral(R"("transcribe_enabled":false,"rewrite_enabled":false,"intent_enabled":false)")
                               : prompts;
  return QStringLiteral(R"({"id":"%1","name":"Persona %1","is_active":%2,%4"prompts":{%3}})")
      .arg(id, active ? QStringLiteral("true") : QStringLiteral("false"), switches, extra)
      .toUtf8();
}

QByteArray listOf(const QList<QByteArray>& items) { return R"({"personas":[)" + items.join(',') + "]}"; }

QByteArray personas(int count) {
  QList<QByteArray> items;
  for (int i = 0; i < count; ++i) items << persona(QString::number(i));
  return listOf(items);
}

QJsonObject bodyOf(const RecordedRequest& request) { return QJsonDocument::fromJson(request.body).object(); }

class PersonaPage : public MainWindowServiceTest {
 protected:
  // Shows the page, which loads the list the service holds.
  void open(const QByteArray& list) {
    service.enqueue("GET", apiPath("/personas"), ScriptedResponse::json(200, list));
    view.resize(880, 720);
    view.show();
    ASSERT_TRUE(waitUntil([&] { return view.content() != PersonaView::Content::loading; }));
  }

  // The card on screen of the persona named `name`.
  PersonaListCard* card(const QString& name) const {
    for (PersonaListCard* card : shownWidgets<PersonaListCard>(view)) {
      if (shows(*card, name)) return card;
    }
    return nullptr;
  }

  PersonaEditSheet* sheet() const { return view.editSheet() && view.editSheet()->isVisible() ? view.editSheet() : nullptr; }

  PersonaView view;
};

TEST_F(PersonaPage, AFailedLoadSaysSoInsteadOfShowingAnEmptyOrOldList) {
  open(personas(2));
  service.enqueue("GET", apiPath("/personas"), ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR","message":"down"})"));
  service.enqueue("GET", apiPath("/personas"), ScriptedResponse::json(200, personas(3)));
  auto reload = view.load();
  EXPECT_TRUE(shows(view, currentStrings().loading)) << "a reload replaces the list with the loading view";
  awaitTask(std::move(reload));
  EXPECT_TRUE(shows(view, currentStrings().errorProviderError));
  EXPECT_TRUE(shownWidgets<PersonaListCard>(view).isEmpty());

  clickText(view, currentStrings().retry);
  ASSERT_TRUE(waitUntil([&] { return shownWidgets<PersonaListCard>(view).size() == 3; }));
  EXPECT_FALSE(shows(view, currentStrings().errorProviderError));
}

TEST_F(PersonaPage, ActivationBusiesEveryActivateButtonAndMovesTheMark) {
  open(listOf({persona("A", true), persona("B"), persona("C")}));
  ScriptedResponse slow = ScriptedResponse::json(200, persona("B", true));
  slow.delay = std::chrono::milliseconds(150);
  service.enqueue("POST", apiPath("/personas/B/activate"), slow);
  const AppStrings& strings = currentStrings();
  const auto activated = [&] {
    QStringList names;
    for (const char* name : {"Persona A", "Persona B", "Persona C"}) {
      if (shows(*card(name), strings.personaActivated)) names.append(QString::fromLatin1(name));
    }
    return names;
  };
  EXPECT_EQ(activated(), QStringList{"Persona A"});

  clickText(*card("Persona B"), strings.personaActivateBtn);
  for (const char* name : {"Persona B", "Persona C"}) {
    EXPECT_FALSE(card(name)->activateButton()->isEnabled()) << "no second activation meanwhile";
    EXPECT_TRUE(card(name)->activateButton()->isBusy());
  }
  EXPECT_TRUE(shownWith(*card("Persona A"), strings.personaDeactivateBtn)->isEnabled());
  ASSERT_TRUE(waitUntil([&] { return activated() == QStringList{"Persona B"}; }));
  EXPECT_TRUE(shownWith(*card("Persona B"), strings.personaDeactivateBtn));
  EXPECT_FALSE(shownWith(*card("Persona B"), strings.personaActivateBtn));

  service.enqueue("POST", apiPath("/personas/deactivate-all"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  clickText(*card("Persona B"), strings.personaDeactivateBtn);
  ASSERT_TRUE(waitUntil([&] { return activated().isEmpty(); }));
  for (const char* name : {"Persona A", "Persona B", "Persona C"}) {
    EXPECT_TRUE(shownWith(*card(name), strings.personaActivateBtn)) << name;
  }

  // A refused activation clears the spinner all the same.
  service.enqueue("POST", apiPath("/personas/C/activate"), ScriptedResponse::json(500, "{}"));
  clickText(*card("Persona C"), strings.personaActivateBtn);
  ASSERT_TRUE(waitUntil([&] { return !view.isActivating(); }));
  EXPECT_FALSE(card("Persona C")->activateButton()->isBusy());
  EXPECT_TRUE(card("Persona C")->activateButton()->isEnabled());
}

TEST_F(PersonaPage, DeletingAsksFirstAndTheCardGoesOnlyWhenTheServiceAgrees) {
  open(listOf({persona("A"), persona("B")}));
  const auto answer = [&](bool confirm) {
    click(shownWith(*card("Persona A"), currentStrings().delete_));
    QMessageBox* question = card("Persona A")->deleteConfirmation();
    ASSERT_TRUE(question && question->isVisible());
    EXPECT_TRUE(shows(*question, currentStrings().deleteConfirm));
    clickText(*question, confirm ? currentStrings().delete_ : currentStrings().cancel);
  };

  answer(false);
  QCoreApplication::processEvents();
  EXPECT_EQ(service.requestCount(), 1) << "cancelled: nothing sent";

  service.enqueue("DELETE", apiPath("/personas/A"), ScriptedResponse::json(500, "{}"));
  answer(true);
  ASSERT_TRUE(service.waitForRequests(2));
  ASSERT_TRUE(waitUntil([] { return PersonaStore::shared().errorMessage().has_value(); }));
  EXPECT_TRUE(card("Persona A")) << "refused: the card stays";

  service.enqueue("DELETE", apiPath("/personas/A"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  answer(true);
  ASSERT_TRUE(waitUntil([&] { return shownWidgets<PersonaListCard>(view).size() == 1; }));
  EXPECT_TRUE(card("Persona B"));
}

TEST_F(PersonaPage, SavingAnEditChangesTheCardThroughTheStoreWithoutAReload) {
  open(listOf({persona("A"), persona("B")}));
  click(shownWith(*card("Persona B"), QStringLiteral("Persona B")));  // the edit button, named by the persona
  ASSERT_TRUE(sheet());
  EXPECT_EQ(sheet()->nameField()->text(), QStringLiteral("Persona B"));
  service.enqueue("PUT", apiPath("/personas/B"),
                  ScriptedResponse::json(200, R"({"id":"B","name":"Renamed","is_active":false,"description":"d",)"
                                              R"("prompts":{"transcribe_enabled":false,"rewrite_enabled":false,)"
                                              R"("intent_enabled":false}})"));
  sheet()->nameField()->setText(QStringLiteral("Renamed"));
  clickText(*sheet(), currentStrings().save);
  ASSERT_TRUE(waitUntil([&] { return card("Renamed"); }));
  EXPECT_TRUE(shows(*card("Renamed"), QStringLiteral("d")));
  EXPECT_FALSE(card("Persona B"));
  EXPECT_EQ(service.requestCount(), 2) << "one load, one update";
}

class PersonaSheet : public MainWindowServiceTest {
 protected:
  static void type(PersonaModuleCard* card, const QString& text) { card->editor()->setPlainText(text); }
};

TEST_F(PersonaSheet, ANewPersonaIsSentTrimmedWithOnlyTheModulesThatHaveAPrompt) {
  service.route("POST", apiPath("/personas"), ScriptedResponse::json(200, persona("N1")));
  PersonaEditSheet sheet(std::nullopt);
  sheet.show();
  QAbstractButton* save = shownWith(sheet, currentStrings().save);
  ASSERT_TRUE(save);
  EXPECT_FALSE(save->isEnabled()) << "no name yet";
  sheet.nameField()->setText(QStringLiteral("   "));
  EXPECT_FALSE(save->isEnabled()) << "a blank name is no name";
  sheet.nameField()->setText(QStringLiteral("  Writer  "));
  EXPECT_TRUE(shownWith<TextLabel>(sheet, currentStrings().personaNewPersona)) << "creating: the title stays";
  EXPECT_TRUE(save->isEnabled());

  type(sheet.moduleCard(HotKeyCombo::transcribe), QStringLiteral("  \n "));
  PersonaModuleCard* rewrite = sheet.moduleCard(HotKeyCombo::rewrite);
  type(rewrite, QStringLiteral("  Be brief.\n"));
  click(rewrite->toggle());
  type(sheet.moduleCard(HotKeyCombo::agent), QStringLiteral("prefer search"));  // kept, switched off

  click(save);
  EXPECT_FALSE(save->isEnabled()) << "a second press while saving sends nothing";
  ASSERT_TRUE(waitUntil([&] { return !sheet.isVisible(); }));
  EXPECT_EQ(sheet.result(), QDialog::Accepted);
  ASSERT_EQ(service.requestCount(), 1);
  const QJsonObject body = bodyOf(service.lastRequest());
  EXPECT_EQ(body.value("name").toString(), QStringLiteral("Writer"));
  EXPECT_FALSE(body.contains("description"));
  const QJsonObject prompts = body.value("prompts").toObject();
  EXPECT_FALSE(prompts.contains("transcribe_prompt"));
  EXPECT_FALSE(prompts.value("transcribe_enabled").toBool());
  EXPECT_EQ(prompts.value("rewrite_prompt").toString(), QStringLiteral("Be brief."));
  EXPECT_TRUE(prompts.value("rewrite_enabled").toBool());
  EXPECT_EQ(prompts.value("intent_hint").toString(), QStringLiteral("prefer search"));
  EXPECT_FALSE(prompts.value("intent_enabled").toBool());
  ASSERT_EQ(PersonaStore::shared().personas().size(), 1);
}

TEST_F(PersonaSheet, AnEditedPersonaSendsItsChangesAndAnEmptiedDescriptionClearsIt) {
  service.enqueue("GET", apiPath("/personas"),
                  ScriptedResponse::json(200, listOf({persona("P1", false,
                                                              R"("transcribe_enabled":true,"rewrite_enabled":false,"intent_enabled":false)",
                                                              R"("description":"Old words",)")})));
  awaitTask(PersonaStore::shared().loadPersonas());
  ASSERT_EQ(PersonaStore::shared().personas().size(), 1);
  const PersonaItem item = PersonaStore::shared().personas().first();
  service.route("PUT", apiPath("/personas/P1"), ScriptedResponse::json(200, persona("P1")));

  PersonaEditSheet sheet(item);
  sheet.show();
  EXPECT_TRUE(shownWith<TextLabel>(sheet, QStringLiteral("Persona P1"))) << "the title";
  EXPECT_TRUE(shows(sheet, QStringLiteral("Old words")));
  sheet.nameField()->setText(QStringLiteral("New "));
  EXPECT_TRUE(shownWith<TextLabel>(sheet, QStringLiteral("New "))) << "the title follows the name as typed";
  EXPECT_TRUE(shows(*sheet.moduleCard(HotKeyCombo::transcribe), currentStrings().personaUsingBuiltin));
  sheet.descriptionField()->clear();
  clickText(sheet, currentStrings().save);
  ASSERT_TRUE(waitUntil([&] { return !sheet.isVisible(); }));

  const RecordedRequest request = service.lastRequest();
  EXPECT_EQ(request.method, "PUT");
  const QJsonObject body = bodyOf(request);
  EXPECT_EQ(body.value("name").toString(), QStringLiteral("New"));
  ASSERT_TRUE(body.contains("description")) << "left out, the old description would stay";
  EXPECT_EQ(body.value("description").toString(), QString());
  EXPECT_FALSE(body.value("prompts").toObject().value("transcribe_enabled").toBool())
      << "switched on without a prompt is saved off";
}

TEST_F(PersonaSheet, ARefusedSaveKeepsTheSheetOpenWithTheReasonAndEveryEdit) {
  service.enqueue("POST", apiPath("/personas"),
                  ScriptedResponse::json(400, R"({"code":"UNSUPPORTED_OPERATION","message":"no"})"));
  service.enqueue("POST", apiPath("/personas"), ScriptedResponse::json(200, persona("N1")));
  PersonaEditSheet sheet(std::nullopt);
  sheet.show();
  sheet.nameField()->setText(QStringLiteral("Keeper"));
  type(sheet.moduleCard(HotKeyCombo::agent), QStringLiteral("hint"));
  clickText(sheet, currentStrings().save);
  ASSERT_TRUE(waitUntil([&] { return shows(sheet, currentStrings().errorUnsupportedOp); }));
  EXPECT_TRUE(sheet.isVisible());
  EXPECT_EQ(sheet.nameField()->text(), QStringLiteral("Keeper"));
  EXPECT_EQ(sheet.moduleCard(HotKeyCombo::agent)->editor()->toPlainText(), QStringLiteral("hint"));
  EXPECT_TRUE(PersonaStore::shared().personas().isEmpty());
  EXPECT_LOOKS_RIGHT(sheet);

  clickText(sheet, currentStrings().save);
  ASSERT_TRUE(waitUntil([&] { return !sheet.isVisible(); }));
  EXPECT_EQ(PersonaStore::shared().personas().size(), 1);
}

TEST_F(PersonaSheet, CancelClosesAtOnceAndTheSaveStillLandsInTheStore) {
  ScriptedResponse slow = ScriptedResponse::json(200, persona("N1"));
  slow.delay = std::chrono::milliseconds(200);
  service.route("POST", apiPath("/personas"), slow);
  auto* sheet = new PersonaEditSheet(std::nullopt);
  sheet->setAttribute(Qt::WA_DeleteOnClose);
  QPointer<PersonaEditSheet> alive(sheet);
  sheet->show();
  sheet->nameField()->setText(QStringLiteral("Late"));
  clickText(*sheet, currentStrings().save);
  clickText(*sheet, currentStrings().cancel);
  EXPECT_FALSE(sheet->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(alive);
  ASSERT_TRUE(waitUntil([] { return PersonaStore::shared().personas().size() == 1; }));
}

TEST_F(PersonaSheet, TheSwitchAppearsWithAPromptAndClearGoesBackToTheBuiltInOne) {
  PersonaEditSheet sheet(std::nullopt);
  sheet.show();
  PersonaModuleCard& card = *sheet.moduleCard(HotKeyCombo::rewrite);
  const AppStrings& strings = currentStrings();
  EXPECT_FALSE(onScreen(card.toggle()));
  EXPECT_TRUE(shows(card, strings.personaUsingBuiltin));

  card.editor()->setPlainText(QStringLiteral("Formal tone."));
  ASSERT_TRUE(onScreen(card.toggle()));
  EXPECT_TRUE(shows(card, strings.personaCustomized));
  EXPECT_EQ(card.toggle()->toolTip(), strings.personaEnableHint);
  click(card.toggle());
  EXPECT_TRUE(shows(card, strings.personaActive));
  EXPECT_TRUE(card.toggle()->isChecked());
  EXPECT_EQ(card.toggle()->toolTip(), strings.personaDisableHint);

  clickText(card, strings.personaClearToBuiltin);
  EXPECT_TRUE(card.editor()->toPlainText().isEmpty());
  EXPECT_FALSE(onScreen(card.toggle()));
  EXPECT_TRUE(shows(card, strings.personaUsingBuiltin));
}

}  // namespace
