#pragma once

#include "service/hotwordmodels.h"

#include <QCoroTask>
#include <QDialog>

#include <functional>
#include <optional>

class CyberTextField;
class GlowLabel;
class NeonButton;
class NeonTitleLabel;
class TextLabel;

// The dialog that adds a hotword or renames one, over the main window. The
// field takes any length; the counter beside its label and the save button
// tell whether the trimmed word can be saved (not empty, at most 20
// characters). Saving hands the trimmed word to `onSave` and waits for its
// answer: on success the page closes the sheet; on failure the sheet stays
// open with the service's message, the word still in the field.
// Return saves (when it can), Escape cancels.
class HotWordEditSheet : public QDialog {
  Q_OBJECT

 public:
  // Answers whether the word was saved.
  using SaveAction = std::function<QCoro::Task<bool>(QString word)>;

  HotWordEditSheet(std::optional<HotWordItem> item, SaveAction onSave, QWidget* parent = nullptr);

  const std::optional<HotWordItem>& item() const { return item_; }
  QString word() const;
  bool isSaving() const { return isSaving_; }
  bool canSave() const;

  // The service's refusal, shown under the field until the word changes.
  void showError(const QString& message);
  std::optional<QString> error() const { return error_; }

  CyberTextField* field() const { return field_; }
  NeonButton* saveButton() const { return save_; }
  NeonButton* cancelButton() const { return cancel_; }
  TextLabel* counter() const { return counter_; }

  static constexpr int sheetWidth = 480;
  static constexpr int maxLength = 20;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void render();
  void fitHeight();
  void save();
  QCoro::Task<void> runSave(QString word);

  std::optional<HotWordItem> item_;
  SaveAction onSave_;
  bool isSaving_ = false;
  std::optional<QString> error_;

  NeonTitleLabel* title_;
  GlowLabel* fieldLabel_;
  TextLabel* counter_;
  CyberTextField* field_;
  TextLabel* errorLabel_;
  NeonButton* cancel_;
  NeonButton* save_;
};
