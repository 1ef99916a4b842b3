#pragma once

#include "service/personamodels.h"
#include "theme/neoncard.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>

class BadgeLabel;
class CyberDividerLine;
class ModuleIndicator;
class NeonBusyButton;
class SymbolButton;
class TextLabel;

// One persona on the persona page: its name (with the "Active" badge when it
// is the active one), its description, the edit, activate or deactivate and
// delete buttons, and which of its three modules are switched on. The active
// persona's card glows green.
//
// The page's two busy flags come to every card alike: while an activation
// runs no other can start, likewise a deactivation. Deleting asks first.
class PersonaListCard : public NeonCard {
  Q_OBJECT

 public:
  explicit PersonaListCard(const PersonaItem& persona, QWidget* parent = nullptr);

  const PersonaItem& persona() const { return persona_; }
  void setPersona(const PersonaItem& persona);
  void setBusy(bool isActivating, bool isDeactivating);
  void retranslate();

  // Opens the delete question; its Delete answer asks the page to delete.
  void confirmDelete();
  QMessageBox* deleteConfirmation() const { return confirmation_; }

  TextLabel* nameLabel() const { return name_; }
  BadgeLabel* activeBadge() const { return badge_; }
  TextLabel* descriptionLabel() const { return description_; }
  SymbolButton* editButton() const { return edit_; }
  NeonBusyButton* activateButton() const { return activate_; }
  NeonBusyButton* deactivateButton() const { return deactivate_; }
  SymbolButton* deleteButton() const { return delete_; }
  QWidget* moduleRow() const { return modules_; }
  const QList<ModuleIndicator*>& indicators() const { return indicators_; }

 Q_SIGNALS:
  void editRequested();
  void activateRequested();
  void deactivateRequested();
  void deleteRequested();

 private:
  void render();

  PersonaItem persona_;
  bool isActivating_ = false;
  bool isDeactivating_ = false;

  TextLabel* name_;
  BadgeLabel* badge_;
  TextLabel* description_;
  SymbolButton* edit_;
  NeonBusyButton* activate_;
  NeonBusyButton* deactivate_;
  SymbolButton* delete_;
  CyberDividerLine* divider_;
  QWidget* modules_;
  QList<ModuleIndicator*> indicators_;
  QPointer<QMessageBox> confirmation_;
};
