// The persona editor against a fake service: what a save sends, and what the
// sheet does with the answer.
#include "mainwindow/personaeditsheet.h"

#include "awaittask.h"
#include "fakeservice.h"
#include "localization/appstrings.h"
#include "mainwindow/badgelabel.h"
#include "mainwindow/neonbusybutton.h"
#include "mainwindow/neontoggle.h"
#include "mainwindow/personamodulecard.h"
#include "mainwindow/personatextfield.h"
#include "mainwindow/textlabel.h"
#include "service/personastore.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"
#include "theme/thinscrollbar.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

constexpr const char* kList = "/veltrine/api/v1/personas";

QByteArray persona(const char* id, const char* name, const char* extra = "") {
  return QStringLiteral(R"({"id":"%1","name":"%2","is_active":false,%3)"
                        R"("prompts":{"transcribe_enabled":true,"rewrite_enabled":false,"intent_enabled":false}})")
      .arg(QLatin1String(id), QLatin1String(name), QLatin1String(extra))
      .toUtf8();
}

QJsonObject bodyOf(const RecordedRequest& request) { return QJsonDocument::fromJson(request.body).object(); }

class PersonaSheet : public ::testing::Test {
 protected:
  PersonaSheet() { qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8()); }

  static void type(PersonaModuleCard* card, const QString& text) { card->editor()->setPlainText(text); }

  FakeService service;
};

TEST_F(PersonaSheet, ANewPersonaIsSentTrimmedWithOnlyTheModulesThatHaveAPrompt) {
  service.route("POST", kList, ScriptedResponse::json(200, persona("N1", "Writer")));
  PersonaEditSheet sheet(std::nullopt);
  sheet.show();
  EXPECT_EQ(sheet.titleLabel()->text(), currentStrings().personaNewPersona);
  EXPECT_FALSE(sheet.saveButton()->isEnabled()) << "no name yet";
  sheet.nameField()->setText(QStringLiteral("   "));
  EXPECT_FALSE(sheet.saveButton()->isEnabled()) << "a blank name is no name";
  sheet.nameField()->setText(QStringLiteral("  Writer  "));
  EXPECT_EQ(sheet.titleLabel()->text(), currentStrings().personaNewPersona) << "creating: the title stays";
  EXPECT_TRUE(sheet.saveButton()->isEnabled());

  type(sheet.moduleCard(HotKeyCombo::transcribe), QStringLiteral("  \n "));
  PersonaModuleCard* rewrite = sheet.moduleCard(HotKeyCombo::rewrite);
  type(rewrite, QStringLiteral("  Be brief.\n"));
  ASSERT_TRUE(rewrite->toggle()->isVisible());
  rewrite->toggle()->click();
  type(sheet.moduleCard(HotKeyCombo::agent), QStringLiteral("prefer search"));  // kept, switched off

  sheet.saveButton()->click();
  sheet.saveButton()->click();  // a second press while saving sends nothing
  EXPECT_TRUE(sheet.isSaving());
  EXPECT_FALSE(sheet.saveButton()->isEnabled());
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
  EXPECT_EQ(PersonaStore::shared().personas().first().id, QStringLiteral("N1"));
}

TEST_F(PersonaSheet, AnEditedPersonaSendsItsChangesAndAnEmptiedDescriptionClearsIt) {
  service.enqueue("GET", kList,
                  ScriptedResponse::json(200, R"({"personas":[)" + persona("P1", "Old", R"("description":"Old words",)") +
                                                  "]}"));
  awaitTask(PersonaStore::shared().loadPersonas());
  const PersonaItem item = PersonaStore::shared().personas().first();
  ASSERT_TRUE(item.prompts.transcribeEnabled && !item.prompts.transcribePrompt);
  service.route("PUT", "/veltrine/api/v1/personas/P1", ScriptedResponse::json(200, persona("P1", "New")));

  PersonaEditSheet sheet(item);
  sheet.show();
  EXPECT_EQ(sheet.titleLabel()->text(), QStringLiteral("Old"));
  sheet.nameField()->setText(QStringLiteral("New "));
  EXPECT_EQ(sheet.titleLabel()->text(), QStringLiteral("New ")) << "the title follows the name as typed";
  EXPECT_EQ(sheet.moduleCard(HotKeyCombo::transcribe)->draft().state(), ModuleDraft::State::builtIn);
  sheet.descriptionField()->clear();
  sheet.saveButton()->click();
  ASSERT_TRUE(waitUntil([&] { return !sheet.isVisible(); }));

  const RecordedRequest request = service.lastRequest();
  EXPECT_EQ(request.method, "PUT");
  const QJsonObject body = bodyOf(request);
  EXPECT_EQ(body.value("name").toString(), QStringLiteral("New"));
  ASSERT_TRUE(body.contains("description")) << "left out, the old description would stay";
  EXPECT_EQ(body.value("description").toString(), QString());
  EXPECT_FALSE(body.value("prompts").toObject().value("transcribe_enabled").toBool())
      << "switched on without a prompt is saved off";
  EXPECT_EQ(PersonaStore::shared().personas().first().name, QStringLiteral("New"));
}

TEST_F(PersonaSheet, ARefusedSaveKeepsTheSheetOpenWithTheReasonAndEveryEdit) {
  service.enqueue("POST", kList, ScriptedResponse::json(400, R"({"code":"UNSUPPORTED_OPERATION","message":"no"})"));
  service.enqueue("POST", kList, ScriptedResponse::json(200, persona("N1", "Keeper")));
  PersonaEditSheet sheet(std::nullopt);
  sheet.show();
  sheet.nameField()->setText(QStringLiteral("Keeper"));
  type(sheet.moduleCard(HotKeyCombo::agent), QStringLiteral("hint"));
  sheet.saveButton()->click();
  ASSERT_TRUE(waitUntil([&] { return !sheet.isSaving(); }));

  EXPECT_TRUE(sheet.isVisible());
  EXPECT_EQ(sheet.error(), currentStrings().errorUnsupportedOp);
  EXPECT_TRUE(sheet.errorLabel()->isVisible());
  EXPECT_EQ(sheet.nameField()->text(), QStringLiteral("Keeper"));
  EXPECT_EQ(sheet.moduleCard(HotKeyCombo::agent)->draft().prompt, QStringLiteral("hint"));
  EXPECT_TRUE(sheet.saveButton()->isEnabled());
  EXPECT_TRUE(PersonaStore::shared().personas().isEmpty());

  sheet.saveButton()->click();
  ASSERT_TRUE(waitUntil([&] { return !sheet.isVisible(); }));
  EXPECT_EQ(PersonaStore::shared().personas().size(), 1);
}

TEST_F(PersonaSheet, CancelClosesAtOnceAndTheSaveStillLandsInTheStore) {
  ScriptedResponse slow = ScriptedResponse::json(200, persona("N1", "Late"));
  slow.delay = std::chrono::milliseconds(200);
  service.route("POST", kList, slow);
  auto* sheet = new PersonaEditSheet(std::nullopt);
  sheet->setAttribute(Qt::WA_DeleteOnClose);
  QPointer<PersonaEditSheet> alive(sheet);
  sheet->show();
  sheet->nameField()->setText(QStringLiteral("Late"));
  sheet->saveButton()->click();
  sheet->cancelButton()->click();
  EXPECT_FALSE(sheet->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(alive);
  ASSERT_TRUE(waitUntil([] { return PersonaStore::shared().personas().size() == 1; }));
}

TEST(PersonaSheetFields, TextsAreCutToTheirLimitsAsTheyArrive) {
  PersonaEditSheet sheet(std::nullopt);
  sheet.show();
  sheet.nameField()->setText(QString(31, QLatin1Char('n')));
  EXPECT_EQ(sheet.name(), QString(30, QLatin1Char('n')));
  sheet.descriptionField()->setText(QString(150, QLatin1Char('d')));
  EXPECT_EQ(sheet.description(), QString(100, QLatin1Char('d')));
  EXPECT_EQ(sheet.nameField()->outline(), Palette::withOpacity(Palette::neonCyan, 0.4));

  PersonaModuleCard* card = sheet.moduleCard(HotKeyCombo::transcribe);
  const struct {
    int length;
    QString counter;
    QColor color;
  } prompts[] = {
      {1900, currentStrings().charCount(1900, 2000), Palette::cyberTextTertiary},
      {1901, currentStrings().charCount(1901, 2000), Palette::neonYellow},
      {2500, currentStrings().charCount(2000, 2000), Palette::neonYellow},
  };
  for (const auto& prompt : prompts) {
    card->editor()->setPlainText(QString(prompt.length, QLatin1Char('p')));
    EXPECT_EQ(card->counter()->text(), prompt.counter) << prompt.length;
    EXPECT_EQ(card->counter()->color(), prompt.color) << prompt.length;
  }
  EXPECT_EQ(card->editor()->toPlainText().size(), 2000) << "the editor shows the cut text";
  EXPECT_EQ(card->counter()->text(), QStringLiteral("2000/2000"));
}

TEST(PersonaSheetFields, TheSwitchAppearsWithAPromptAndClearGoesBackToTheBuiltInOne) {
  PersonaEditSheet sheet(std::nullopt);
  sheet.show();
  PersonaModuleCard* card = sheet.moduleCard(HotKeyCombo::rewrite);
  EXPECT_FALSE(card->toggle()->isVisible());
  EXPECT_EQ(card->badge()->text(), currentStrings().personaUsingBuiltin);

  card->editor()->setPlainText(QStringLiteral("Formal tone."));
  EXPECT_TRUE(card->toggle()->isVisible());
  EXPECT_EQ(card->badge()->text(), currentStrings().personaCustomized);
  EXPECT_EQ(card->toggle()->toolTip(), currentStrings().personaEnableHint);
  card->toggle()->click();
  EXPECT_EQ(card->badge()->text(), currentStrings().personaActive);
  EXPECT_EQ(card->toggle()->toolTip(), currentStrings().personaDisableHint);
  EXPECT_EQ(card->cardStyle().neon, Palette::withOpacity(Palette::neonGreen, 0.45));

  card->clearButton()->click();
  EXPECT_TRUE(card->editor()->toPlainText().isEmpty());
  EXPECT_FALSE(card->draft().enabled);
  EXPECT_FALSE(card->toggle()->isVisible());
  EXPECT_EQ(card->cardStyle().neon, Palette::cyberBorder);
}

// A prompt longer than its editor scrolls there; that bar, like the sheet's
// own, is drawn in the theme and not as the platform's light bar.
TEST(PersonaSheetFields, EveryScrollBarOfTheSheetIsTheThemes) {
  PersonaEditSheet sheet(std::nullopt);
  sheet.resize(560, 640);
  sheet.show();
  sheet.moduleCard(HotKeyCombo::transcribe)->editor()->setPlainText(QStringLiteral("word ").repeated(400));
  QApplication::processEvents();
  int themed = 0;
  for (const QScrollBar* bar : sheet.findChildren<QScrollBar*>()) {
    if (bar->orientation() != Qt::Vertical || !bar->isVisibleTo(&sheet)) continue;
    EXPECT_EQ(bar->styleSheet(), ThinScrollBar().styleSheet()) << bar->parent()->metaObject()->className();
    ++themed;
  }
  EXPECT_GE(themed, 2) << "the sheet's and the long prompt's";
}

}  // namespace
