#include "service/dictionarystore.h"

#include "localization/appstrings.h"
#include "localization/servermessages.h"
#include "serviceclienttest.h"

#include <QSignalSpy>

namespace {

QStringList ids(const QList<HotWordItem>& items) {
  QStringList result;
  for (const HotWordItem& item : items) result << item.id + u'=' + item.word;
  return result;
}

// The shared store starts and ends each test empty and without a message.
class DictionaryStoreTest : public ServiceClientTest {
 protected:
  void SetUp() override { load(R"({"hotwords":[]})"); }
  void TearDown() override {
    service.reset();
    load(R"({"hotwords":[]})");
  }
  void load(const QByteArray& body) {
    service.enqueue("GET", apiPath("/hotwords"), ScriptedResponse::json(200, body));
    awaitTask(store.loadHotWords());
  }
  static QString word(const char* text) { return QString::fromUtf8(text); }

  DictionaryStore& store = DictionaryStore::shared();
};

TEST_F(DictionaryStoreTest, ChangesPatchTheListWithTheServicesAnswer) {
  load(R"({"hotwords":[{"id":"a","word":"Alpha"},{"id":"b","word":"Beta"}]})");
  // The answer carries an id already listed: both stay, and a delete takes both.
  service.enqueue("POST", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"id":"a","word":"Gamma"})"));
  EXPECT_TRUE(awaitTask(store.addHotWord(word("Gamma"))));
  EXPECT_EQ(service.lastRequest().header("Content-Type"), "application/json");
  EXPECT_EQ(ids(store.hotwords()), (QStringList{"a=Alpha", "b=Beta", "a=Gamma"}));

  service.enqueue("PUT", apiPath("/hotwords/b"),
                  ScriptedResponse::json(200, R"({"id":"b","word":"BETA","created_at":"2025-01-01T00:00:00Z"})"));
  EXPECT_TRUE(awaitTask(store.updateHotWord(word("b"), word("BETA"))));
  EXPECT_EQ(service.lastRequest().body, R"({"word":"BETA"})");
  EXPECT_EQ(store.hotwords().at(1).createdAt, QStringLiteral("2025-01-01T00:00:00Z"));

  service.enqueue("DELETE", apiPath("/hotwords/a"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  EXPECT_TRUE(awaitTask(store.deleteHotWord(word("a"))));
  EXPECT_FALSE(service.lastRequest().hasHeader("Content-Type"));  // a bodyless request says no type
  // Ids the list does not hold: the service agreed, so it is a success.
  service.enqueue("PUT", apiPath("/hotwords/gone"), ScriptedResponse::json(200, R"({"id":"gone","word":"G"})"));
  EXPECT_TRUE(awaitTask(store.updateHotWord(word("gone"), word("G"))));
  EXPECT_EQ(ids(store.hotwords()), (QStringList{"b=BETA"}));
}

TEST_F(DictionaryStoreTest, AFailureKeepsTheListAndItsMessageStaysUntilTheNextFetch) {
  ScriptedResponse hangUp;  // a first fetch without an answer: what happened, in the interface language
  hangUp.closeWithoutAnswer = true;
  service.enqueue("GET", apiPath("/hotwords"), hangUp);
  LanguageManager::shared().setCurrent(AppLanguage::ru);
  awaitTask(store.loadHotWords());
  EXPECT_TRUE(store.hotwords().isEmpty());
  EXPECT_EQ(store.errorMessage(), stringsFor(AppLanguage::ru).errorConnectionLost);

  load(R"({"hotwords":[{"id":"a","word":"Alpha"}]})");
  service.setDefaultResponse(ScriptedResponse::json(409, R"({"code":"HOTWORD_DUPLICATE","message":"dup"})"));
  QSignalSpy loadingSpy(&store, &DictionaryStore::isLoadingChanged);
  EXPECT_FALSE(awaitTask(store.addHotWord(word("Alpha"))));
  EXPECT_EQ(store.errorMessage(), localizedServerError(QStringLiteral("HOTWORD_DUPLICATE")));
  EXPECT_FALSE(awaitTask(store.updateHotWord(word("a"), word("A"))));
  EXPECT_FALSE(awaitTask(store.deleteHotWord(word(".."))));  // fails before anything is sent
  EXPECT_EQ(ids(store.hotwords()), (QStringList{"a=Alpha"}));
  EXPECT_EQ(loadingSpy.count(), 0);

  service.enqueue("POST", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"id":"z","word":"Zeta"})"));
  EXPECT_TRUE(awaitTask(store.addHotWord(word("Zeta"))));
  EXPECT_TRUE(store.errorMessage());
  load(R"({"hotwords":[]})");
  EXPECT_EQ(store.errorMessage(), std::nullopt);
}

TEST_F(DictionaryStoreTest, AnOlderFetchAnsweringLastNeverOverwritesTheNewerList) {
  ScriptedResponse slow = ScriptedResponse::json(200, R"({"hotwords":[{"id":"old","word":"Old"}]})");
  slow.delay = std::chrono::milliseconds(300);
  service.enqueue("GET", apiPath("/hotwords"), slow);
  service.enqueue("GET", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"hotwords":[{"id":"new","word":"New"}]})"));
  service.clearRequests();
  QCoro::Task<void> first = store.loadHotWords();
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1; }));
  EXPECT_TRUE(store.isLoading());
  awaitTask(store.loadHotWords());
  awaitTask(std::move(first));
  EXPECT_EQ(ids(store.hotwords()), (QStringList{"new=New"}));
  EXPECT_FALSE(store.isLoading());
}

}  // namespace
