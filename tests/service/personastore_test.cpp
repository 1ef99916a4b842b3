#include "service/personastore.h"

#include "localization/servermessages.h"
#include "service/apierror.h"
#include "serviceclienttest.h"

#include <QJsonDocument>

namespace {

QByteArray persona(const QByteArray& id, bool active, const QByteArray& name = "P") {
  return R"({"id":")" + id + R"(","name":")" + name + R"(","is_active":)" + (active ? "true" : "false") +
         R"(,"prompts":{"transcribe_enabled":true,"rewrite_enabled":false,"intent_enabled":false}})";
}

// "id*" for an active persona, "id" for an inactive one.
QStringList states(const QList<PersonaItem>& personas) {
  QStringList result;
  for (const PersonaItem& item : personas) result << item.id + (item.isActive ? QStringLiteral("*") : QString());
  return result;
}

// The shared store starts and ends each test empty and without a message.
class PersonaStoreTest : public ServiceClientTest {
 protected:
  void SetUp() override { load({}); }
  void TearDown() override {
    service.reset();
    load({});
  }
  void load(const QList<QByteArray>& items) {
    service.enqueue("GET", apiPath("/personas"), ScriptedResponse::json(200, R"({"personas":[)" + items.join(',') + "]}"));
    awaitTask(store.loadPersonas());
  }
  void answer(const QByteArray& method, const QByteArray& path, const QByteArray& body) {
    service.enqueue(method, apiPath(path), ScriptedResponse::json(200, body));
  }
  static QString text(const char* value) { return QString::fromUtf8(value); }

  PersonaStore& store = PersonaStore::shared();
};

TEST_F(PersonaStoreTest, ActivationFollowsTheIdTheServiceAnswersWith) {
  load({persona("A", true), persona("B", false), persona("C", false)});
  const struct { const char* requested; QByteArray answer; QStringList expected; } cases[] = {
      {"B", persona("B", true), {"A", "B*", "C"}},
      {"C", persona("A", true), {"A*", "B", "C"}},  // the service names another: that one is active
      {"A", persona("X", true), {"A", "B", "C"}},   // one the list does not hold: none is, and it is not added
  };
  for (const auto& c : cases) {
    answer("POST", "/personas/" + QByteArray(c.requested) + "/activate", c.answer);
    EXPECT_TRUE(awaitTask(store.activatePersona(text(c.requested)))) << c.requested;
    EXPECT_TRUE(service.lastRequest().body.isEmpty());
    EXPECT_EQ(states(store.personas()), c.expected) << c.requested;
  }
  answer("POST", "/personas/deactivate-all", R"({"message":"ok"})");
  EXPECT_TRUE(awaitTask(store.deactivateAllPersonas()));
  EXPECT_EQ(states(store.personas()), (QStringList{"A", "B", "C"}));  // after "A*"
}

TEST_F(PersonaStoreTest, CreateUpdateAndDeletePatchTheList) {
  load({persona("A", false), persona("B", true)});
  answer("POST", "/personas", persona("N", false, "New"));
  PersonaPrompts prompts;
  prompts.rewritePrompt = QStringLiteral("Be brief.");
  prompts.rewriteEnabled = true;
  EXPECT_TRUE(awaitTask(store.createPersona(text("New"), std::nullopt, prompts)));
  EXPECT_EQ(QJsonDocument::fromJson(service.lastRequest().body).object().keys(), (QStringList{"name", "prompts"}));
  EXPECT_EQ(states(store.personas()), (QStringList{"A", "B*", "N"}));

  // Only the fields given are sent; the whole answer replaces the item.
  answer("PUT", "/personas/A", persona("A", true, "Renamed"));
  EXPECT_TRUE(awaitTask(store.updatePersona(text("A"), text("Renamed"), std::nullopt, std::nullopt)));
  EXPECT_EQ(service.lastRequest().body, R"({"name":"Renamed"})");
  EXPECT_EQ(store.personas().first().name, QStringLiteral("Renamed"));
  answer("DELETE", "/personas/B", R"({"message":"ok"})");
  EXPECT_TRUE(awaitTask(store.deletePersona(text("B"))));
  EXPECT_EQ(states(store.personas()), (QStringList{"A*", "N"}));
}

TEST_F(PersonaStoreTest, EveryFailureLeavesTheListAndNamesTheReason) {
  load({persona("A", true)});
  service.setDefaultResponse(ScriptedResponse::json(404, R"({"code":"SHORTCUT_NOT_FOUND","message":"no"})"));
  EXPECT_EQ(awaitTask(store.createPersona(text("N"), text("d"), {})), std::nullopt);
  EXPECT_FALSE(awaitTask(store.updatePersona(text("A"), text("N"), std::nullopt, std::nullopt)) ||
               awaitTask(store.deletePersona(text("A"))) || awaitTask(store.activatePersona(text("A"))) ||
               awaitTask(store.deactivateAllPersonas()));
  EXPECT_EQ(store.errorMessage(), localizedServerError(QStringLiteral("SHORTCUT_NOT_FOUND")));
  EXPECT_EQ(states(store.personas()), (QStringList{"A*"}));

  // A 401 is reported like any other failure: no one is signed out here.
  service.enqueue("GET", apiPath("/personas"), ScriptedResponse::json(401, "{}"));
  awaitTask(store.loadPersonas());
  EXPECT_EQ(store.errorMessage(), APIError::unauthorized().errorDescription());
  EXPECT_EQ(states(store.personas()), (QStringList{"A*"}));
}

}  // namespace
