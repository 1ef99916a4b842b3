#include "service/personastore.h"

#include "localization/servermessages.h"
#include "service/apierror.h"
#include "serviceclienttest.h"

#include <QJsonDocument>

namespace {

using PersonaStoreTest = ServiceClientTest;

QByteArray persona(const char* id, bool active, const char* name = "P") {
  return QStringLiteral(R"({"id":"%1","name":"%2","is_active":%3,)"
                        R"("prompts":{"transcribe_enabled":true,"rewrite_enabled":false,"intent_enabled":false}})")
      .arg(QLatin1String(id), QLatin1String(name), active ? QStringLiteral("true") : QStringLiteral("false"))
      .toUtf8();
}

// "id*" for an active persona, "id" for an inactive one.
QStringList states(const QList<PersonaItem>& personas) {
  QStringList result;
  for (const PersonaItem& item : personas) result << item.id + (item.isActive ? QStringLiteral("*") : QString());
  return result;
}

void loadList(FakeService& service, const QList<QByteArray>& items) {
  service.enqueue("GET", "/veltrine/api/v1/personas",
                  ScriptedResponse::json(200, R"({"personas":[)" + items.join(',') + "]}"));
  awaitTask(PersonaStore::shared().loadPersonas());
}

TEST_F(PersonaStoreTest, ActivationFollowsTheIdTheServiceAnswersWith) {
  PersonaStore& store = PersonaStore::shared();
  // Deactivating nothing is fine.
  service.enqueue("POST", apiPath("/personas/deactivate-all"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  EXPECT_TRUE(awaitTask(store.deactivateAllPersonas()));
  EXPECT_TRUE(store.personas().isEmpty());

  loadList(service, {persona("A", true), persona("B", false), persona("C", false)});
  const struct {
    const char* requested;
    QByteArray answer;
    QStringList expected;
  } cases[] = {
      {"B", persona("B", true), {"A", "B*", "C"}},
      // The service names another persona: that one is active, not the one asked for.
      {"C", persona("A", true), {"A*", "B", "C"}},
      // It names one the list does not hold: none is active, and it is not added.
      {"A", persona("X", true), {"A", "B", "C"}},
  };
  for (const auto& c : cases) {
    const QByteArray path = apiPath("/personas/") + c.requested + "/activate";
    service.enqueue("POST", path, ScriptedResponse::json(200, c.answer));
    EXPECT_TRUE(awaitTask(store.activatePersona(QString::fromLatin1(c.requested)))) << c.requested;
    EXPECT_EQ(service.lastRequest().path, path);
    EXPECT_TRUE(service.lastRequest().body.isEmpty());
    EXPECT_EQ(states(store.personas()), c.expected) << c.requested;
  }

  service.enqueue("POST", apiPath("/personas/B/activate"), ScriptedResponse::json(200, persona("B", true)));
  awaitTask(store.activatePersona(QString::fromUtf8("B")));
  service.enqueue("POST", apiPath("/personas/deactivate-all"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  EXPECT_TRUE(awaitTask(store.deactivateAllPersonas()));
  EXPECT_EQ(states(store.personas()), (QStringList{"A", "B", "C"}));
}

TEST_F(PersonaStoreTest, CreateUpdateAndDeletePatchTheList) {
  PersonaStore& store = PersonaStore::shared();
  loadList(service, {persona("A", false), persona("B", true)});

  service.enqueue("POST", apiPath("/personas"), ScriptedResponse::json(200, persona("N", false, "New")));
  PersonaPrompts prompts;
  prompts.rewritePrompt = QStringLiteral("Be brief.");
  prompts.rewriteEnabled = true;
  const std::optional<PersonaItem> created =
      awaitTask(store.createPersona(QString::fromUtf8("New"), std::nullopt, prompts));
  ASSERT_TRUE(created);
  EXPECT_EQ(created->name, QStringLiteral("New"));
  EXPECT_EQ(QJsonDocument::fromJson(service.lastRequest().body).object().keys(),
            (QStringList{"name", "prompts"}));
  EXPECT_EQ(states(store.personas()), (QStringList{"A", "B*", "N"}));

  // Only the fields given are sent; the whole answer replaces the item.
  service.enqueue("PUT", apiPath("/personas/A"), ScriptedResponse::json(200, persona("A", true, "Renamed")));
  EXPECT_TRUE(awaitTask(store.updatePersona(QString::fromUtf8("A"), QString::fromUtf8("Renamed"), std::nullopt, std::nullopt)));
  EXPECT_EQ(service.lastRequest().body, R"({"name":"Renamed"})");
  EXPECT_EQ(store.personas().first().name, QStringLiteral("Renamed"));
  EXPECT_EQ(states(store.personas()), (QStringList{"A*", "B*", "N"}));

  service.enqueue("PUT", apiPath("/personas/gone"), ScriptedResponse::json(200, persona("gone", false)));
  EXPECT_TRUE(awaitTask(store.updatePersona(QString::fromUtf8("gone"), std::nullopt, QStringLiteral("d"), std::nullopt)));
  service.enqueue("DELETE", apiPath("/personas/B"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  EXPECT_TRUE(awaitTask(store.deletePersona(QString::fromUtf8("B"))));
  EXPECT_EQ(states(store.personas()), (QStringList{"A*", "N"}));
}

TEST_F(PersonaStoreTest, EveryFailureLeavesTheListAndNamesTheReason) {
  PersonaStore& store = PersonaStore::shared();
  loadList(service, {persona("A", true)});
  service.setDefaultResponse(ScriptedResponse::json(404, R"({"code":"SHORTCUT_NOT_FOUND","message":"no"})"));
  const QString expected = localizedServerError(QStringLiteral("SHORTCUT_NOT_FOUND"));

  EXPECT_EQ(awaitTask(store.createPersona(QString::fromUtf8("N"), QString::fromUtf8("d"), {})), std::nullopt);
  EXPECT_FALSE(awaitTask(store.updatePersona(QString::fromUtf8("A"), QString::fromUtf8("N"), std::nullopt, std::nullopt)));
  EXPECT_FALSE(awaitTask(store.deletePersona(QString::fromUtf8("A"))));
  EXPECT_FALSE(awaitTask(store.activatePersona(QString::fromUtf8("A"))));
  EXPECT_FALSE(awaitTask(store.deactivateAllPersonas()));
  EXPECT_EQ(store.errorMessage(), expected);
  EXPECT_EQ(states(store.personas()), (QStringList{"A*"}));

  // A 401 is reported like any other failure: no one is signed out here.
  service.enqueue("GET", apiPath("/personas"), ScriptedResponse::json(401, "{}"));
  awaitTask(store.loadPersonas());
  EXPECT_EQ(store.errorMessage(), APIError::unauthorized().errorDescription());
  EXPECT_EQ(states(store.personas()), (QStringList{"A*"}));
  EXPECT_FALSE(store.isLoading());
}

}  // namespace
