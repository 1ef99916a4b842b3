#pragma once

#include "pipeline/hotkeycombo.h"
#include "service/personamodels.h"

#include <QCoroTask>
#include <QDialog>
#include <QMap>

#include <optional>

class NeonBusyButton;
class NeonButton;
class PersonaModuleCard;
class PersonaTextField;
class TextLabel;

// The sheet over the persona page that creates a persona or edits one: its
// name, description and the three module prompts (transcription, rewrite /
// generate, the agent's intent hints), each with its own switch. The edits
// stay here until Save sends one request through the persona store.
//
// Save is possible while the trimmed name is not empty and no save runs. A
// saved persona closes the sheet; a refused one keeps it open with the
// service's reason and every edit in place. Cancel closes it at once (a save
// under way still finishes in the store).
class PersonaEditSheet : public QDialog {
  Q_OBJECT

 public:
  explicit PersonaEditSheet(std::optional<PersonaItem> item, QWidget* parent = nullptr);

  static constexpr qsizetype nameLimit = 30;
  static constexpr qsizetype descriptionLimit = 100;
  static constexpr int minimumWidth = 540;
  static constexpr int minimumHeight = 600;

  const std::optional<PersonaItem>& item() const { return item_; }
  QString name() const;
  QString description() const;
  bool isSaving() const { return isSaving_; }
  bool canSave() const;
  std::optional<QString> error() const { return error_; }

  // What Save sends: the trimmed texts (no description when blank) and each
  // module's trimmed prompt, used only when it has one and is switched on.
  PersonaPrompts prompts() const;

  void save();

  PersonaTextField* nameField() const { return name_; }
  PersonaTextField* descriptionField() const { return description_; }
  PersonaModuleCard* moduleCard(HotKeyCombo module) const { return modules_.value(module); }
  TextLabel* titleLabel() const { return title_; }
  TextLabel* errorLabel() const { return errorLabel_; }
  NeonButton* cancelButton() const { return cancel_; }
  NeonBusyButton* saveButton() const { return save_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QWidget* buildFields();
  void limit(PersonaTextField* field, qsizetype characters);
  void retranslate();
  void render();
  QCoro::Task<void> runSave();

  std::optional<PersonaItem> item_;
  bool isSaving_ = false;
  std::optional<QString> error_;

  NeonButton* cancel_;
  TextLabel* title_;
  NeonBusyButton* save_;
  TextLabel* errorLabel_;
  TextLabel* nameLabel_;
  PersonaTextField* name_;
  TextLabel* descriptionLabel_;
  PersonaTextField* description_;
  QMap<HotKeyCombo, PersonaModuleCard*> modules_;
};
