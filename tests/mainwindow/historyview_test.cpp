#include "mainwindow/historyview.h"

#include "core/userdefaults.h"
#include "historyrecords.h"
#include "localization/appstrings.h"
#include "mainwindow/emptystateview.h"
#include "mainwindow/historycard.h"
#include "mainwindow/plainbutton.h"
#include "mainwindow/retentionpicker.h"
#include "mainwindow/textlabel.h"
#include "mainwindowtest.h"
#include "service/authstore.h"

#include <QFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {

class HistoryViewTest : public MainWindowTest {
 protected:
  // Records 1..count, the newest first, as the store keeps them.
  static void addRecords(int count) {
    for (int i = count; i >= 1; --i) {
      RecordingHistory record = makeRecord(RecognitionStatus::success);
      record.result = QStringLiteral("r%1").arg(i);
      HistoryStore::shared().addRecord(record);
    }
  }

  static QStringList results(const HistoryView& view) {
    QStringList results;
    for (HistoryCard* card : view.cards()) results.append(card->record().result.value_or(QString()));
    return results;
  }

  // A page tall enough to make the card of every shown record.
  static void showTall(HistoryView& view) {
    view.resize(880, 30000);
    view.show();
  }

  static void leaveAndComeBack(HistoryView& view) {
    view.hide();
    view.show();
  }
};

TEST_F(HistoryViewTest, ShowsAPageAtATimeAndCountsWhatIsLeft) {
  const AppStrings& strings = currentStrings();
  const struct {
    int records;
    int presses;
    int cards;
    std::optional<QString> more;
  } rows[] = {
      {0, 0, 0, std::nullopt},           {20, 0, 20, std::nullopt},
      {21, 0, 20, strings.moreCount(1)}, {45, 0, 20, strings.moreCount(25)},
      {45, 1, 40, strings.moreCount(5)}, {45, 2, 45, std::nullopt},
  };
  for (const auto& row : rows) {
    HistoryStore::shared().clearRecords();
    addRecords(row.records);
    HistoryView view(HistoryStore::shared(), 20, 20, LanguageManager::shared());
    showTall(view);
    for (int i = 0; i < row.presses; ++i) view.moreButton()->click();
    const QString name = QStringLiteral("%1 records, %2 presses").arg(row.records).arg(row.presses);
    EXPECT_EQ(view.cards().size(), row.cards) << name.toStdString();
    EXPECT_EQ(view.moreButton()->isVisibleTo(&view), row.more.has_value()) << name.toStdString();
    if (row.more) {
      EXPECT_EQ(view.moreButton()->text(), *row.more);
    }
    EXPECT_EQ(view.countLabel()->text(), strings.recordCount(row.records));
    EXPECT_EQ(view.emptyState()->isVisibleTo(&view), row.records == 0);
    if (row.cards > 0) {
      EXPECT_EQ(results(view).first(), "r1");
    }
  }
}

TEST_F(HistoryViewTest, CardsAreMadeAsTheyComeIntoView) {
  addRecords(45);
  HistoryView view(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  view.resize(880, 720);
  view.show();
  QApplication::processEvents();
  const qsizetype first = view.cards().size();
  EXPECT_GT(first, 0);
  EXPECT_LT(first, 20);
  QScrollBar& bar = *view.findChild<QScrollArea*>()->verticalScrollBar();
  for (int i = 0; i < 40 && view.cards().size() < 20; ++i) {
    bar.setValue(bar.maximum());
    QApplication::processEvents();
  }
  EXPECT_EQ(view.cards().size(), 20);
  EXPECT_EQ(results(view).last(), "r20");
  // The next page comes the same way, never more than it holds.
  view.showMore();
  for (int i = 0; i < 40; ++i) {
    bar.setValue(bar.maximum());
    QApplication::processEvents();
  }
  EXPECT_EQ(view.cards().size(), 40);
}

// A clicked button that goes away (MORE on the last page, the buttons of a
// card whose record changes) must not hand the focus on: the scroll area
// would jump to wherever it lands, far from what the user was looking at.
TEST_F(HistoryViewTest, AButtonThatGoesAwayLeavesTheListWhereItIs) {
  addRecords(31);
  HistoryView view(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  view.resize(880, 720);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  QScrollBar& bar = *view.findChild<QScrollArea*>()->verticalScrollBar();
  for (int i = 0; i < 40 && view.cards().size() < 20; ++i) {
    bar.setValue(bar.maximum());
    QApplication::processEvents();
  }
  bar.setValue(bar.maximum());
  QApplication::processEvents();
  const int bottom = bar.value();
  ASSERT_GT(bottom, 0);
  QTest::mouseClick(view.moreButton(), Qt::LeftButton);
  QApplication::processEvents();
  ASSERT_FALSE(view.moreButton()->isVisibleTo(&view));
  EXPECT_GE(bar.value(), bottom);
}

TEST_F(HistoryViewTest, ComingBackShowsTheFirstPageAgain) {
  addRecords(45);
  HistoryView view(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  showTall(view);
  view.showMore();
  ASSERT_EQ(view.cards().size(), 40);
  leaveAndComeBack(view);
  EXPECT_EQ(view.displayCount(), 20);
  EXPECT_EQ(view.cards().size(), 20);

  // New records push the oldest shown ones below the cut.
  RecordingHistory newest = makeRecord(RecognitionStatus::success);
  newest.result = QStringLiteral("r0");
  HistoryStore::shared().addRecord(newest);
  EXPECT_EQ(results(view).first(), "r0");
  EXPECT_EQ(results(view).last(), "r19");
  EXPECT_EQ(view.moreButton()->text(), currentStrings().moreCount(26));
}

// With hundreds of cards a change must not rebuild the list: each change
// touches only its own card, and every other card (with its expanded state)
// stays the very widget it was.
TEST_F(HistoryViewTest, EachChangeTouchesOnlyItsOwnCard) {
  addRecords(45);
  HistoryView view(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  showTall(view);
  const QList<HistoryCard*> before = view.cards();
  ASSERT_EQ(before.size(), 20);
  before.at(2)->toggleExpanded();
  before.at(5)->toggleExpanded();
  const auto expanded = [&view] {
    QList<int> rows;
    for (int i = 0; i < view.cards().size(); ++i) {
      if (view.cards().at(i)->isExpanded()) rows.append(i);
    }
    return rows;
  };

  // One record changes: its card shows it, nothing else moves.
  HistoryStore::shared().updateRecord(before.at(5)->record().id,
                                      [](RecordingHistory& record) { record.result = QStringLiteral("changed"); });
  EXPECT_EQ(view.cards(), before);
  EXPECT_TRUE(shownTexts(*before.at(5)).count(QStringLiteral("changed")) >= 1);
  EXPECT_EQ(expanded(), (QList<int>{2, 5}));

  // A new request: one new card at the top, as tall as it asks, the oldest
  // shown one below the cut.
  HistoryStore::shared().addRecord(makeRecord(RecognitionStatus::processing));
  ASSERT_EQ(view.cards().size(), 20);
  EXPECT_EQ(view.cards().mid(1), before.mid(0, 19));
  EXPECT_FALSE(before.contains(view.cards().first()));
  EXPECT_TRUE(shownTexts(*view.cards().first()).contains(currentStrings().processing));
  EXPECT_EQ(expanded(), (QList<int>{3, 6}));
  QApplication::processEvents();
  const HistoryCard& top = *view.cards().first();
  EXPECT_GE(top.height(), top.sizeHint().height());
  EXPECT_LT(top.geometry().bottom(), view.cards().at(1)->geometry().top());
  HistoryStore::shared().updateRecord(top.record().id, [](RecordingHistory& record) {
    record.status = RecognitionStatus::success;
    record.result = QStringLiteral("r0");
  });

  // MORE: the next page's cards after the others, which stay as they are.
  const QList<HistoryCard*> firstPage = view.cards();
  view.showMore();
  ASSERT_EQ(view.cards().size(), 40);
  EXPECT_EQ(view.cards().mid(0, 20), firstPage);
  EXPECT_EQ(results(view).mid(20), [] {
    QStringList expected;
    for (int i = 20; i < 40; ++i) expected.append(QStringLiteral("r%1").arg(i));
    return expected;
  }());

  // A clean-up that removes nothing keeps every card.
  const QList<HistoryCard*> both = view.cards();
  HistoryStore::shared().setRetentionPolicy(RetentionPolicy::thirtyDays);
  EXPECT_EQ(view.cards(), both);
  EXPECT_EQ(expanded(), (QList<int>{3, 6}));
}

TEST_F(HistoryViewTest, DeletingDownToOnePageRemovesTheMoreButton) {
  addRecords(22);
  HistoryView view(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  showTall(view);
  ASSERT_EQ(view.moreButton()->text(), currentStrings().moreCount(2));
  HistoryStore::shared().deleteRecord(HistoryStore::shared().records().at(3).id, false);
  EXPECT_EQ(view.moreButton()->text(), currentStrings().moreCount(1));
  HistoryStore::shared().deleteRecord(HistoryStore::shared().records().at(3).id, false);
  EXPECT_FALSE(view.moreButton()->isVisibleTo(&view));
  EXPECT_EQ(view.cards().size(), 20);
}

TEST_F(HistoryViewTest, AShorterRetentionRemovesOldRecordsAtOnce) {
  AuthStore::shared().setEmail(QStringLiteral("writer@example.com"));
  HistoryStore::shared().load();
  const QString folder = *HistoryStore::shared().audioDirectoryURL();
  const QDateTime now = QDateTime::currentDateTimeUtc();
  QStringList files;
  for (const auto& [name, age] : {std::pair{"fresh", 60}, std::pair{"six days", 6 * 86400}, std::pair{"old", 8 * 86400},
                                  std::pair{"older", 30 * 86400}}) {
    RecordingHistory record = makeRecord(RecognitionStatus::success);
    record.result = QString::fromLatin1(name);
    record.createdAt = now.addSecs(-age);
    record.audioFilePath = makeAudioFile(folder + "/" + record.id + ".wav");
    files.append(*record.audioFilePath);
    HistoryStore::shared().addRecord(record);
  }
  HistoryView view(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  showTall(view);
  ASSERT_EQ(results(view), (QStringList{"older", "old", "six days", "fresh"}));

  Q_EMIT view.retentionPicker()->activated(2);  // 7 days
  EXPECT_EQ(HistoryStore::shared().retentionPolicy(), RetentionPolicy::sevenDays);
  EXPECT_EQ(results(view), (QStringList{"six days", "fresh"}));
  EXPECT_TRUE(QFile::exists(files.at(0)));   // fresh
  EXPECT_TRUE(QFile::exists(files.at(1)));   // six days
  EXPECT_FALSE(QFile::exists(files.at(2)));  // old
  EXPECT_FALSE(QFile::exists(files.at(3)));  // older

  Q_EMIT view.retentionPicker()->activated(4);  // never
  EXPECT_EQ(UserDefaults::shared().text(QStringLiteral("historyRetentionPolicy")), QStringLiteral("never"));
  EXPECT_TRUE(view.cards().isEmpty());
  EXPECT_TRUE(view.emptyState()->isVisibleTo(&view));
  EXPECT_EQ(view.countLabel()->text(), currentStrings().recordCount(0));
  for (const QString& file : files) EXPECT_FALSE(QFile::exists(file)) << file.toStdString();
}

TEST_F(HistoryViewTest, SwitchingTheLanguageRelabelsEverythingButKeepsThePolicy) {
  HistoryStore::shared().setRetentionPolicy(RetentionPolicy::thirtyDays);
  addRecords(1);
  HistoryView view(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  showTall(view);
  LanguageManager::shared().setCurrent(AppLanguage::yue);
  const AppStrings& cantonese = stringsFor(AppLanguage::yue);
  const QStringList texts = shownTexts(view);
  for (const QString& text :
       {cantonese.historySaveTitle, cantonese.historySaveSubtitle, cantonese.historyPrivacyTitle,
        cantonese.historyPrivacySubtitle, cantonese.recordCount(1), cantonese.opTranscribe, cantonese.statusOk}) {
    EXPECT_TRUE(texts.contains(text)) << text.toStdString();
  }
  RetentionPicker& picker = *view.retentionPicker();
  EXPECT_EQ(picker.itemText(0), cantonese.historyRetentionForever);
  EXPECT_EQ(picker.itemText(4), cantonese.historyRetentionNever);
  EXPECT_EQ(picker.policy(), RetentionPolicy::thirtyDays);
  EXPECT_EQ(HistoryStore::shared().retentionPolicy(), RetentionPolicy::thirtyDays);
}

}  // namespace
