#pragma once

#include "mainwindow/hotwordeditsheet.h"
#include "mainwindow/pagescaffold.h"
#include "service/hotwordmodels.h"

#include <QCoroTask>
#include <QList>
#include <QMessageBox>
#include <QPointer>

#include <optional>

class DictionaryStore;
class EmptyStateView;
class HotWordCountBadge;
class HotWordRow;
class NeonButton;
class NeonTitleLabel;
class QStackedLayout;
class TextLabel;

// The hotword page: the user's hotwords as the service keeps them, with the
// count against the limit of 30, a button that adds one, and on each row
// buttons that rename or delete it. It draws whatever the shared hotword
// store holds and fetches the list afresh each time it comes on screen.
//
// Nothing fails silently: a failed fetch shows its reason with a button that
// tries again (never an empty list that is not one), a failed add or rename
// keeps the sheet open with the service's message, and a failed delete says
// why the row is still there.
class DictionaryView : public PageScaffold {
  Q_OBJECT

 public:
  explicit DictionaryView(QWidget* parent = nullptr);
  ~DictionaryView() override;

  enum class Content { loading, empty, failed, list };
  Content content() const;

  // The add button: a new hotword.
  void addHotWord();
  // A row's edit and delete buttons.
  void editHotWord(const HotWordItem& item);
  void askToDelete(const HotWordItem& item);
  // The confirmation's delete button.
  void confirmDelete();

  bool showSheet() const { return sheet_ && sheet_->isVisible(); }
  HotWordEditSheet* sheet() const { return sheet_; }
  const std::optional<HotWordItem>& editingItem() const { return editingItem_; }
  bool showDeleteAlert() const { return deleteAlert_ && deleteAlert_->isVisible(); }
  QMessageBox* deleteAlert() const { return deleteAlert_; }
  const std::optional<HotWordItem>& deleteTarget() const { return deleteTarget_; }

  NeonButton* addButton() const { return add_; }
  HotWordCountBadge* countBadge() const { return badge_; }
  QList<HotWordRow*> rows() const { return rows_; }
  EmptyStateView* failureView() const { return failed_; }
  // The line over the list that says why the last fetch or delete failed;
  // empty when nothing did.
  QString notice() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void render();
  void rebuildRows();
  void openSheet(std::optional<HotWordItem> item);
  void closeSheet();
  QCoro::Task<void> load();
  QCoro::Task<bool> save(QString word);
  QCoro::Task<void> remove(HotWordItem item);

  DictionaryStore& store_;
  std::optional<HotWordItem> editingItem_;
  std::optional<HotWordItem> deleteTarget_;
  QPointer<HotWordEditSheet> sheet_;
  QPointer<QMessageBox> deleteAlert_;
  // The reason the latest fetch of this page failed; none when it succeeded.
  std::optional<QString> loadError_;
  std::optional<QString> notice_;
  quint64 latestLoad_ = 0;

  NeonTitleLabel* title_;
  HotWordCountBadge* badge_;
  TextLabel* description_;
  NeonButton* add_;
  TextLabel* noticeLabel_;
  QStackedLayout* stack_;
  QWidget* loading_;
  EmptyStateView* empty_;
  EmptyStateView* failed_;
  QWidget* list_;
  QList<HotWordRow*> rows_;
};
