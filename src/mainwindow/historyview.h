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
class ThemedScrollArea;

// The history page: the retention setting and a privacy note over the local
// history, newest first, a page of cards at a time with a button that shows
// the next page. Each time it comes on screen it shows the first page again.
// It writes only the retention policy; the cards do their own actions.
//
// A card is made only when it comes near the visible part of the list (one
// screen ahead of it), so opening the page costs the cards that fit on the
// screen, not a whole page of them.
class HistoryView : public PageScaffold {
  Q_OBJECT

 public:
  HistoryView(HistoryStore& store, int pageSize, int displayCount, LanguageManager& lang, QWidget* parent = nullptr);

  int pageSize() const { return pageSize_; }
  int displayCount() const { return displayCount_; }
  // The MORE button: the next page.
  void showMore();

  // The cards made so far, newest first: those of the first records of the
  // page, down to a screen below what is visible.
  QList<HistoryCard*> cards() const;
  // Shown while there are records beyond the cards.
  PlainButton* moreButton() const { return more_; }
  EmptyStateView* emptyState() const { return empty_; }
  RetentionPicker* retentionPicker() const { return picker_; }
  TextLabel* countLabel() const { return count_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void render();
  void renderList();
  // Makes the cards that have come within a screen of the visible part.
  void fillView();
  qsizetype shownCount() const;

  HistoryStore& store_;
  int pageSize_;
  int displayCount_;

  NeonTitleLabel* title_;
  TextLabel* count_;
  HistorySettingCard* retention_;
  HistorySettingCard* privacy_;
  RetentionPicker* picker_;
  ThemedScrollArea* scroll_;
  QWidget* settings_;
  EmptyStateView* empty_;
  QWidget* list_;
  QVBoxLayout* listColumn_;
  PlainButton* more_;
  // One card per record id while the record is shown; a card keeps its own
  // flags as long as its record stays in view.
  QHash<QString, HistoryCard*> cardsById_;
  QList<HistoryCard*> cards_;
  // How many of the shown records have their card.
  qsizetype builtCount_ = 0;
};
