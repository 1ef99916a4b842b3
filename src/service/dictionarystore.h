#pragma once

#include "service/hotwordmodels.h"
#include "service/servicelist.h"

#include <QCoroTask>
#include <QList>
#include <QString>

class APIClient;

// The user's hotwords, a mirror of the list kept on the service. Empty at
// every start until the dictionary page fetches it; signing out leaves it as
// it is until the next fetch. The operations never throw, so a view may start
// one and drop the task.
class DictionaryStore : public ServiceList {
  Q_OBJECT
  Q_PROPERTY(QList<HotWordItem> hotwords READ hotwords NOTIFY hotwordsChanged)

 public:
  static DictionaryStore& shared();

  // In the service's order; words added here go at the end.
  const QList<HotWordItem>& hotwords() const { return hotwords_; }

  // Replaces the whole list with the service's.
  QCoro::Task<void> loadHotWords();
  // Appends the service's new item.
  QCoro::Task<bool> addHotWord(QString word);
  // Replaces the first item with this id by the service's answer; an id not
  // in the list changes nothing and still succeeds.
  QCoro::Task<bool> updateHotWord(QString id, QString word);
  // Removes every item with this id (none is fine).
  QCoro::Task<bool> deleteHotWord(QString id);

 Q_SIGNALS:
  void hotwordsChanged();

 private:
  DictionaryStore();

  APIClient& api_;
  QList<HotWordItem> hotwords_;
};
