#pragma once

#include "mainwindow/pagescaffold.h"

#include <QList>
#include <QString>

class EmptyStateView;
class CardColumn;
class HistoryCard;
class HistorySettingCard;
class HistoryStore;
class LanguageManager;
class NeonTitleLabel;
class PlainButton;
class QVBoxLayout;
struct RecordingHistory;
class RetentionPicker;
class TextLabel;
class ThemedScrollArea;

// The history page: the retention setting and a privacy note over the local
// history, newest first, a page of cards at a time with a button that shows
// the next page. Each time it comes on screen it shows the first page again.
// It writes only the retention policy; the cards do their own actions.
//
// A card is made only when it comes near the visible part of the list (half
// a screen ahead of it), so opening the page costs the cards that fit on the
// screen, not a whole page of them. A change of the history touches only the
// card concerned (a new record: one card more; a changed one: its card drawn
// again; a deleted one: its card gone), and MORE makes only the new cards, so
// the page costs the same with 20 cards or 2,000.
class HistoryView : public PageScaffold {
  Q_OBJECT

 public:
  HistoryView(HistoryStore& store, int pageSize, int displayCount, LanguageManager& lang, QWidget* parent = nullptr);

  int pageSize() const { return pageSize_; }
  int displayCount() const { return displayCount_; }
  // The MORE button: the next page.
  void showMore();

  // The cards made so far, newest first: those of the first records of the
  // page, down to half a screen below what is visible.
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
  // The header's count, the empty state and the MORE button.
  void renderCounts();
  // The store's changes, each touching only the cards concerned.
  void recordInserted(int index);
  void recordUpdated(int index);
  void recordRemoved(int index);
  void recordsReset();
  void insertCard(qsizetype index, const RecordingHistory& record);
  void removeCard(qsizetype index);
  // Drops the cards of records below the cut.
  void trimToShown();
  // Makes the cards that have come within half a screen of the visible part.
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
  QWidget* cardList_;
  CardColumn* listColumn_;
  PlainButton* more_;
  // The cards of the first records, in the store's order: cards_[i] shows
  // records()[i], and is the list's i-th item. A card keeps its own flags as
  // long as its record stays in view.
  QList<HistoryCard*> cards_;
  bool filling_ = false;
};
