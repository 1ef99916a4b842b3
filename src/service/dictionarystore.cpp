#include "service/dictionarystore.h"

#include "service/apiclient.h"

DictionaryStore& DictionaryStore::shared() {
  static DictionaryStore* instance = new DictionaryStore();
  return *instance;
}

DictionaryStore::DictionaryStore() : api_(APIClient::shared()) {}

QCoro::Task<void> DictionaryStore::loadHotWords() {
  auto replaceList = [this](HotWordListResponse answer) {
    hotwords_ = std::move(answer.hotwords);
    Q_EMIT hotwordsChanged();
  };
  co_await fetch(api_.fetchHotWords(), std::move(replaceList));
}

QCoro::Task<bool> DictionaryStore::addHotWord(QString word) {
  const HotWordCreateBody body{word};
  const auto item = co_await change(api_.post<HotWordItem>(APIClient::hotwordsURL(), body));
  if (!item) co_return false;
  hotwords_.append(*item);
  Q_EMIT hotwordsChanged();
  co_return true;
}

QCoro::Task<bool> DictionaryStore::updateHotWord(QString id, QString word) {
  const HotWordUpdateBody body{word};
  const auto item = co_await change(api_.put<HotWordItem>(APIClient::hotwordURL(id), body));
  if (!item) co_return false;
  replaceFirst(hotwords_, id, *item);
  Q_EMIT hotwordsChanged();
  co_return true;
}

QCoro::Task<bool> DictionaryStore::deleteHotWord(QString id) {
  const bool deleted = co_await change(api_.deleteHotWord(id));
  if (!deleted) co_return false;
  removeAll(hotwords_, id);
  Q_EMIT hotwordsChanged();
  co_return true;
}
