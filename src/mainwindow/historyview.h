#pragma once

#include "mainwindow/pagescaffold.h"

#include <QHash>
#include <QList>
#include <QString>

class EmptyStateView;
class HistoryCard;
class HistorySettingCard;
class HistoryStore;
class LanguageManager;
class NeonTitleLabel;
class PlainButton;
class QVBoxLayout;
class RetentionPicker;
class TextLabel;

// The history page: the retention setting and a privacy note over the local
// history, newest first, a page of cards at a time with a button that shows
// the next page. Each time it comes on screen it shows the first page again.
// It writes only the retention policy; the cards do their own actions.
class HistoryView : public PageScaffold {
  Q_OBJECT

 public:
  HistoryView(HistoryStore& store, int pageSize, int displayCount, LanguageManager& lang, QWidget* parent = nullptr);

  int pageSize() const { return pageSize_; }
  int displayCount() const { return displayCount_; }
  // The MORE button: the next page.
  void showMore();

  // The cards shown, newest first.
  QList<HistoryCard*> cards() const;
  // Shown while there are records beyond the cards.
  PlainButton* moreButton() const { return more_; }
  EmptyStateView* emptyState() const { return empty_; }
  RetentionPicker* retentionPicker() const { return picker_; }
  TextLabel* countLabel() const { return count_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void render();
  void renderList();

  HistoryStore& store_;
  int pageSize_;
  int displayCount_;

  NeonTitleLabel* title_;
  TextLabel* count_;
  HistorySettingCard* retention_;
  HistorySettingCard* privacy_;
  RetentionPicker* picker_;
  EmptyStateView* empty_;
  QWidget* list_;
  QVBoxLayout* listColumn_;
  PlainButton* more_;
  // One card per record id while the record is shown; a card keeps its own
  // flags as long as its record stays in view.
  QHash<QString, HistoryCard*> cardsById_;
  QList<HistoryCard*> cards_;
};
