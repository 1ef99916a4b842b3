#include "service/personastore.h"

#include "service/apiclient.h"

PersonaStore& PersonaStore::shared() {
  static PersonaStore* instance = new PersonaStore();
  return *instance;
}

PersonaStore::PersonaStore() : api_(APIClient::shared()) {}

QCoro::Task<void> PersonaStore::loadPersonas() {
  auto replaceList = [this](PersonaListResponse answer) {
    personas_ = std::move(answer.personas);
    Q_EMIT personasChanged();
  };
  co_await fetch(api_.fetchPersonas(), std::move(replaceList));
}

QCoro::Task<std::optional<PersonaItem>> PersonaStore::createPersona(QString name, std::optional<QString> description,
                                                                    PersonaPrompts prompts) {
  auto item = co_await change(api_.createPersona(name, description, prompts));
  if (item) {
    personas_.append(*item);
    Q_EMIT personasChanged();
  }
  co_return item;
}

QCoro::Task<bool> PersonaStore::updatePersona(QString id, std::optional<QString> name,
                                              std::optional<QString> description,
                                              std::optional<PersonaPrompts> prompts) {
  const PersonaUpdateBody body{name, description, prompts};
  const auto item = co_await change(api_.put<PersonaItem>(APIClient::personaURL(id), body));
  if (!item) co_return false;
  replaceFirst(personas_, id, *item);
  Q_EMIT personasChanged();
  co_return true;
}

QCoro::Task<bool> PersonaStore::deletePersona(QString id) {
  const bool deleted = co_await change(api_.deletePersona(id));
  if (!deleted) co_return false;
  removeAll(personas_, id);
  Q_EMIT personasChanged();
  co_return true;
}

QCoro::Task<bool> PersonaStore::activatePersona(QString id) {
  const auto item = co_await change(api_.activatePersona(id));
  if (!item) co_return false;
  // The answer's id, not the one asked for: the service says which is active.
  markActive(item->id);
  co_return true;
}

QCoro::Task<bool> PersonaStore::deactivateAllPersonas() {
  const bool deactivated = co_await change(api_.deactivateAllPersonas());
  if (!deactivated) co_return false;
  markActive(std::nullopt);
  co_return true;
}

void PersonaStore::markActive(const std::optional<QString>& activeId) {
  for (PersonaItem& persona : personas_) persona.isActive = activeId && persona.id == *activeId;
  Q_EMIT personasChanged();
}
