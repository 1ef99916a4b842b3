#include "pipeline/selectionrestorer.h"

#include <QCoroSignal>
#include <QPointer>

SelectionRestorer::SelectionRestorer(QObject* parent) : QObject(parent) {}

QCoro::Task<bool> SelectionRestorer::restore(SelectionSnapshot snapshot) {
  const QPointer<SelectionRestorer> self(this);
  while (restoring_) {
    const bool same = element_ == snapshot.element && range_ == snapshot.range;
    const bool answer = co_await qCoro(this, &SelectionRestorer::finished);
    if (!self) co_return false;  // the request ended with its flow
    if (same) co_return answer;
  }
  restoring_ = true;
  element_ = snapshot.element;
  range_ = snapshot.range;
  const bool answer = co_await SelectionSnapshot::restore(std::move(snapshot));
  if (!self) co_return answer;
  restoring_ = false;
  element_.reset();
  Q_EMIT finished(answer);
  co_return answer;
}

QCoro::Task<void> SelectionRestorer::settled() {
  const QPointer<SelectionRestorer> self(this);
  while (self && self->restoring_) co_await qCoro(this, &SelectionRestorer::finished);
}
