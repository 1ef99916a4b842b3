#pragma once

#include "service/personamodels.h"
#include "service/servicelist.h"

#include <QCoroTask>
#include <QList>
#include <QString>

#include <optional>

class APIClient;

// The user's personas (named instructions for the three operations, at most
// one active), a mirror of the list kept on the service. Empty at every start
// until the persona page fetches it; signing out leaves it as it is until the
// next fetch. The operations never throw, so a view may start one and drop the
// task.
class PersonaStore : public ServiceList {
  Q_OBJECT
  Q_PROPERTY(QList<PersonaItem> personas READ personas NOTIFY personasChanged)

 public:
  static PersonaStore& shared();

  // In the service's order; personas created here go at the end.
  const QList<PersonaItem>& personas() const { return personas_; }

  // Replaces the whole list with the service's.
  QCoro::Task<void> loadPersonas();
  // Appends the service's new persona and returns it.
  QCoro::Task<std::optional<PersonaItem>> createPersona(QString name, std::optional<QString> description,
                                                        PersonaPrompts prompts);
  // Sends only the fields given; replaces the first persona with this id by
  // the service's answer (an id not in the list changes nothing and still
  // succeeds).
  QCoro::Task<bool> updatePersona(QString id, std::optional<QString> name, std::optional<QString> description,
                                  std::optional<PersonaPrompts> prompts);
  // Removes every persona with this id (none is fine).
  QCoro::Task<bool> deletePersona(QString id);
  // Afterwards exactly the personas whose id the service answered with are
  // active: an answer naming an id not in the list leaves none active.
  QCoro::Task<bool> activatePersona(QString id);
  QCoro::Task<bool> deactivateAllPersonas();

 Q_SIGNALS:
  void personasChanged();

 private:
  PersonaStore();
  void markActive(const std::optional<QString>& activeId);

  APIClient& api_;
  QList<PersonaItem> personas_;
};
