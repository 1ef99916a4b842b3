#pragma once

#include "mainwindow/pagescaffold.h"
#include "mainwindow/personaeditsheet.h"
#include "service/personamodels.h"

#include <QCoroTask>
#include <QMap>
#include <QPointer>

#include <optional>

class EmptyStateView;
class GlowLabel;
class NeonButton;
class NeonTitleLabel;
class PersonaListCard;
class QVBoxLayout;
class TextLabel;

// The persona page of the main window: the user's personas as cards, the
// active one marked, with buttons to create (while fewer than ten exist),
// edit, activate, deactivate and delete them. The list and every request
// belong to the persona store; creating and editing happen in the editor
// sheet. Each showing reloads the list.
//
// A load that fails says so, with the reason and a retry button: an empty
// page would claim there are no personas, and a list kept from before may be
// stale or another account's.
//
// The main window creates a new page each time the tab is shown.
class PersonaView : public PageScaffold {
  Q_OBJECT

 public:
  explicit PersonaView(QWidget* parent = nullptr);

  static constexpr int personaLimit = 10;

  enum class Content { loading, failed, empty, list };
  Content content() const;

  bool isActivating() const { return isActivating_; }
  bool isDeactivating() const { return isDeactivating_; }
  const std::optional<PersonaItem>& editingItem() const { return editingItem_; }
  bool showCreate() const { return showCreate_; }

  // The page's actions.
  QCoro::Task<void> load();
  void create();
  void edit(const PersonaItem& persona);
  void activate(const PersonaItem& persona);
  void deactivate();
  void deletePersona(const PersonaItem& persona);

  NeonButton* newPersonaButton() const { return newButton_; }
  NeonButton* emptyStateButton() const { return emptyButton_; }
  EmptyStateView* failedView() const { return failed_; }
  TextLabel* countLabel() const { return countLabel_; }
  TextLabel* limitLabel() const { return limitLabel_; }
  QList<PersonaListCard*> cards() const;
  PersonaEditSheet* editSheet() const { return sheet_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* buildLoading();
  QWidget* buildEmpty();
  QWidget* buildList();
  void openSheet(const std::optional<PersonaItem>& item);
  void syncCards();
  void retranslate();
  void render();

  bool isActivating_ = false;
  bool isDeactivating_ = false;
  std::optional<PersonaItem> editingItem_;
  bool showCreate_ = false;
  // The outcome of this page's latest load.
  bool loadFailed_ = false;
  quint64 latestLoad_ = 0;

  NeonTitleLabel* title_;
  TextLabel* description_;
  NeonButton* newButton_;
  QWidget* loading_;
  GlowLabel* loadingText_ = nullptr;
  QWidget* empty_;
  TextLabel* emptyText_ = nullptr;
  NeonButton* emptyButton_ = nullptr;
  EmptyStateView* failed_;
  QWidget* list_;
  TextLabel* countLabel_ = nullptr;
  TextLabel* limitLabel_ = nullptr;
  QVBoxLayout* cardColumn_ = nullptr;
  QMap<QString, PersonaListCard*> cards_;
  QPointer<PersonaEditSheet> sheet_;
};
