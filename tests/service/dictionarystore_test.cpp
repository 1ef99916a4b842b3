#include "service/dictionarystore.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "localization/servermessages.h"
#include "serviceclienttest.h"
#include "service/apiclient.h"

#include <QSignalSpy>

namespace {

using DictionaryStoreTest = ServiceClientTest;

QStringList ids(const QList<HotWordItem>& items) {
  QStringList result;
  for (const HotWordItem& item : items) result << item.id + u'=' + item.word;
  return result;
}

void loadList(FakeService& service, const QByteArray& body) {
  service.enqueue("GET", "/veltrine/api/v1/hotwords", ScriptedResponse::json(200, body));
  awaitTask(DictionaryStore::shared().loadHotWords());
}

TEST_F(DictionaryStoreTest, AFailedFirstFetchLeavesTheListEmptyWithTheReason) {
  DictionaryStore& store = DictionaryStore::shared();
  service.enqueue("GET", apiPath("/hotwords"), ScriptedResponse::json(500, R"({"code":"PROVIDER_ERROR","message":"x"})"));
  awaitTask(store.loadHotWords());
  EXPECT_TRUE(store.hotwords().isEmpty());
  EXPECT_FALSE(store.isLoading());
  EXPECT_EQ(store.errorMessage(), localizedServerError(QStringLiteral("PROVIDER_ERROR")));

  // No answer at all: what happened, in the interface language.
  ScriptedResponse hangUp;
  hangUp.closeWithoutAnswer = true;
  service.route("GET", apiPath("/hotwords"), hangUp);
  LanguageManager::shared().setCurrent(AppLanguage::ru);
  awaitTask(store.loadHotWords());
  EXPECT_EQ(store.errorMessage(), stringsFor(AppLanguage::ru).errorConnectionLost);
  EXPECT_TRUE(store.hotwords().isEmpty());
}

TEST_F(DictionaryStoreTest, ChangesPatchTheListWithTheServicesAnswer) {
  DictionaryStore& store = DictionaryStore::shared();
  loadList(service, R"({"hotwords":[{"id":"a","word":"Alpha"},{"id":"b","word":"Beta"}]})");
  ASSERT_EQ(ids(store.hotwords()), (QStringList{"a=Alpha", "b=Beta"}));

  // The answer carries an id already listed: both stay, and a delete takes both.
  service.enqueue("POST", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"id":"a","word":"Gamma"})"));
  EXPECT_TRUE(awaitTask(store.addHotWord(QString::fromUtf8("Gamma"))));
  EXPECT_EQ(service.lastRequest().body, R"({"word":"Gamma"})");
  EXPECT_EQ(ids(store.hotwords()), (QStringList{"a=Alpha", "b=Beta", "a=Gamma"}));

  service.enqueue("PUT", apiPath("/hotwords/b"),
                  ScriptedResponse::json(200, R"({"id":"b","word":"BETA","created_at":"2025-01-01T00:00:00Z"})"));
  EXPECT_TRUE(awaitTask(store.updateHotWord(QString::fromUtf8("b"), QString::fromUtf8("BETA"))));
  EXPECT_EQ(service.lastRequest().body, R"({"word":"BETA"})");
  EXPECT_EQ(store.hotwords().at(1).createdAt, QStringLiteral("2025-01-01T00:00:00Z"));

  service.enqueue("DELETE", apiPath("/hotwords/a"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  EXPECT_TRUE(awaitTask(store.deleteHotWord(QString::fromUtf8("a"))));
  EXPECT_EQ(ids(store.hotwords()), (QStringList{"b=BETA"}));

  // Ids the list does not hold: the service agreed, so it is a success.
  service.enqueue("DELETE", apiPath("/hotwords/gone"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  EXPECT_TRUE(awaitTask(store.deleteHotWord(QString::fromUtf8("gone"))));
  service.enqueue("PUT", apiPath("/hotwords/gone"), ScriptedResponse::json(200, R"({"id":"gone","word":"G"})"));
  EXPECT_TRUE(awaitTask(store.updateHotWord(QString::fromUtf8("gone"), QString::fromUtf8("G"))));
  EXPECT_EQ(ids(store.hotwords()), (QStringList{"b=BETA"}));

  // An id is one path segment, whatever it holds.
  service.enqueue("DELETE", apiPath("/hotwords/a%2Fb%3Fc"), ScriptedResponse::json(200, R"({"message":"ok"})"));
  EXPECT_TRUE(awaitTask(store.deleteHotWord(QString::fromUtf8("a/b?c"))));
  EXPECT_EQ(service.lastRequest().target, apiPath("/hotwords/a%2Fb%3Fc"));
}

TEST_F(DictionaryStoreTest, AFailedChangeNeverThrowsAndKeepsTheList) {
  DictionaryStore& store = DictionaryStore::shared();
  loadList(service, R"({"hotwords":[{"id":"a","word":"Alpha"}]})");
  service.setDefaultResponse(ScriptedResponse::json(409, R"({"code":"HOTWORD_DUPLICATE","message":"dup"})"));
  QSignalSpy loadingSpy(&store, &DictionaryStore::isLoadingChanged);
  const QString expected = localizedServerError(QStringLiteral("HOTWORD_DUPLICATE"));

  EXPECT_FALSE(awaitTask(store.addHotWord(QString::fromUtf8("Alpha"))));
  EXPECT_EQ(store.errorMessage(), expected);
  EXPECT_FALSE(awaitTask(store.updateHotWord(QString::fromUtf8("a"), QString::fromUtf8("A"))));
  EXPECT_FALSE(awaitTask(store.deleteHotWord(QString::fromUtf8("a"))));
  // An id that cannot be a path segment fails before anything is sent.
  EXPECT_FALSE(awaitTask(store.deleteHotWord(QString::fromUtf8(".."))));
  EXPECT_FALSE(store.errorMessage().value_or(QString()).isEmpty());

  EXPECT_EQ(ids(store.hotwords()), (QStringList{"a=Alpha"}));
  EXPECT_EQ(loadingSpy.count(), 0);

  // A later success leaves the message; only the next fetch clears it.
  service.enqueue("POST", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"id":"z","word":"Zeta"})"));
  EXPECT_TRUE(awaitTask(store.addHotWord(QString::fromUtf8("Zeta"))));
  EXPECT_TRUE(store.errorMessage());
  loadList(service, R"({"hotwords":[]})");
  EXPECT_EQ(store.errorMessage(), std::nullopt);
}

TEST_F(DictionaryStoreTest, AnOlderFetchAnsweringLastNeverOverwritesTheNewerList) {
  DictionaryStore& store = DictionaryStore::shared();
  ScriptedResponse slow = ScriptedResponse::json(200, R"({"hotwords":[{"id":"old","word":"Old"}]})");
  slow.delay = std::chrono::milliseconds(1500);
  service.enqueue("GET", apiPath("/hotwords"), slow);
  service.enqueue("GET", apiPath("/hotwords"),
                  ScriptedResponse::json(200, R"({"hotwords":[{"id":"new","word":"New"}]})"));

  QCoro::Task<void> first = store.loadHotWords();
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1; }));
  EXPECT_TRUE(store.isLoading());
  awaitTask(store.loadHotWords());
  awaitTask(std::move(first));
  EXPECT_EQ(ids(store.hotwords()), (QStringList{"new=New"}));
  EXPECT_FALSE(store.isLoading());
}

}  // namespace
