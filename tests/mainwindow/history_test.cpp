// The history page and its cards against the history store, the request flow
// and a fake service.
#include "core/userdefaults.h"
#include "mainwindow/historycard.h"
#include "mainwindow/historyview.h"
#include "mainwindow/plainbutton.h"
#include "mainwindow/retentionpicker.h"
#include "mainwindowtest.h"
#include "service/authstore.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QScrollArea>
#include <QScrollBar>

namespace {

class HistoryPage : public MainWindowServiceTest {
 protected:
  HistoryPage() {
    // Deletions reach only files in the account's own audio folder.
    AuthStore::shared().setEmail(QStringLiteral("writer@example.com"));
    AuthStore::shared().setToken(QStringLiteral("token-1"));
    AuthStore::shared().setCreditsRemaining(10);
    HistoryStore::shared().load();
  }

  // Records 1..count, the newest first, as the store keeps them.
  static void addRecords(int count) {
    for (int i = count; i >= 1; --i) {
      RecordingHistory record = makeRecord(RecognitionStatus::success);
      record.result = QStringLiteral("r%1").arg(i);
      HistoryStore::shared().addRecord(record);
    }
  }

  // A stored record of the signed-in account, with its recording on disk
  // when asked.
  static RecordingHistory stored(RecognitionStatus status, bool withAudio, bool retryable = true) {
    RecordingHistory record = makeRecord(status);
    record.audioFilePath = *HistoryStore::shared().audioDirectoryURL() + "/" + record.id + ".wav";
    if (withAudio) makeAudioFile(*record.audioFilePath);
    record.retryable = retryable;
    HistoryStore::shared().addRecord(record);
    return record;
  }

  // A page tall enough to make the card of every shown record.
  void showTall() {
    view.resize(880, 30000);
    view.show();
  }

  // The answers the cards on screen show, top to bottom.
  QStringList shownResults() const {
    QStringList results;
    for (HistoryCard* card : view.cards()) {
      if (onScreen(card)) results.append(card->summary());
    }
    return results;
  }

  // The card on screen that shows `record`.
  HistoryCard* cardOf(const RecordingHistory& record) const {
    for (HistoryCard* card : view.cards()) {
      if (card->record().id == record.id && onScreen(card)) return card;
    }
    return nullptr;
  }

  // Answers a card's delete question with the button `answer`.
  static void answerDelete(HistoryCard* card, const QString& answer) {
    ASSERT_TRUE(card);
    click(shownWith(*card, currentStrings().delete_));
    ASSERT_TRUE(card->deleteDialog() && card->deleteDialog()->isVisible());
    EXPECT_TRUE(shows(*card->deleteDialog(), currentStrings().deleteConfirm));
    click(shownWith(*card->deleteDialog(), answer));
  }

  HistoryView view{HistoryStore::shared(), 20, 20, LanguageManager::shared()};
};

TEST_F(HistoryPage, DeletingAsksAndKeepsTheAudioOnlyWhenAsked) {
  const RecordingHistory keepAudio = stored(RecognitionStatus::success, true);
  const RecordingHistory dropAudio = stored(RecognitionStatus::failed, true);
  const RecordingHistory cancelled = stored(RecognitionStatus::success, true);
  showTall();
  const AppStrings& strings = currentStrings();

  answerDelete(cardOf(cancelled), strings.cancel);
  EXPECT_FALSE(cardOf(cancelled)->showDeleteConfirm());
  answerDelete(cardOf(keepAudio), strings.deleteRecordOnly);
  answerDelete(cardOf(dropAudio), strings.deleteRecordAndAudio);
  ASSERT_TRUE(waitUntil([&] { return !cardOf(keepAudio) && !cardOf(dropAudio); }));
  ASSERT_TRUE(cardOf(cancelled));
  EXPECT_EQ(HistoryStore::shared().records().size(), 1);
  EXPECT_TRUE(QFile::exists(*keepAudio.audioFilePath));
  EXPECT_FALSE(QFile::exists(*dropAudio.audioFilePath));
  EXPECT_TRUE(QFile::exists(*cancelled.audioFilePath));

  // Deleting the recording alone keeps the record without its buttons.
  clickText(*cardOf(cancelled), strings.btnDelAudio);
  ASSERT_TRUE(waitUntil([&] { return !shownWith(*cardOf(cancelled), strings.btnDelAudio); }));
  EXPECT_FALSE(QFile::exists(*cancelled.audioFilePath));
  EXPECT_FALSE(shownWith(*cardOf(cancelled), strings.retry));
}

TEST_F(HistoryPage, RetryStartsTheRequestAgainAndTheCardFollows) {
  const QJsonObject answer{{"operation", "transcribe"}, {"action_type", "tip"}, {"transcript", "t"}, {"result", "r"}};
  ScriptedResponse slow = ScriptedResponse::json(200, QJsonDocument(answer).toJson(QJsonDocument::Compact));
  slow.delay = std::chrono::milliseconds(200);
  service.enqueue("POST", apiPath("/audio/process"), slow);
  const RecordingHistory record = stored(RecognitionStatus::failed, true);
  showTall();
  clickText(*cardOf(record), currentStrings().retry);
  ASSERT_TRUE(waitUntil([&] { return shows(*cardOf(record), currentStrings().processing); }));
  EXPECT_FALSE(shownWith(*cardOf(record), currentStrings().delete_));
  ASSERT_TRUE(waitUntil([&] { return shows(*cardOf(record), QStringLiteral("r")); }));
  EXPECT_EQ(service.requestCount(), 1);
}

TEST_F(HistoryPage, ShowsAPageAtATimeAndCountsWhatIsLeft) {
  const AppStrings& strings = currentStrings();
  const struct {
    int records, presses, cards;
    std::optional<QString> more;
  } rows[] = {
      {0, 0, 0, std::nullopt},           {20, 0, 20, std::nullopt},
      {21, 0, 20, strings.moreCount(1)}, {45, 0, 20, strings.moreCount(25)},
      {45, 1, 40, strings.moreCount(5)}, {45, 2, 45, std::nullopt},
  };
  for (const auto& row : rows) {
    const std::string name = std::to_string(row.records) + " records, " + std::to_string(row.presses) + " presses";
    SCOPED_TRACE(name);
    HistoryStore::shared().clearRecords();
    addRecords(row.records);
    HistoryView page(HistoryStore::shared(), 20, 20, LanguageManager::shared());
    page.resize(880, 30000);
    page.show();
    for (int i = 0; i < row.presses; ++i) click(page.moreButton());
    EXPECT_EQ(shownWidgets<HistoryCard>(page).size(), row.cards);
    EXPECT_EQ(onScreen(page.moreButton()), row.more.has_value());
    if (row.more) {
      EXPECT_TRUE(shows(page, *row.more));
    }
    EXPECT_TRUE(shows(page, strings.recordCount(row.records)));
    EXPECT_EQ(shows(page, strings.noRecords), row.records == 0);
    if (row.cards > 0) {
      EXPECT_TRUE(shows(page, QStringLiteral("r1")));
    }
    // Coming back shows the first page again.
    page.hide();
    page.show();
    EXPECT_EQ(shownWidgets<HistoryCard>(page).size(), std::min(row.records, 20));
  }
}

TEST_F(HistoryPage, CardsAreMadeAsTheyComeIntoViewAndAVanishingButtonLeavesTheListWhereItIs) {
  addRecords(31);
  view.resize(880, 720);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  const qsizetype first = view.cards().size();
  EXPECT_GT(first, 0);
  EXPECT_LT(first, 20);
  QScrollBar& bar = *view.findChild<QScrollArea*>()->verticalScrollBar();
  ASSERT_TRUE(waitUntil([&] {
    bar.setValue(bar.maximum());
    return view.cards().size() == 20;
  }));
  EXPECT_EQ(shownResults().last(), "r20");
  bar.setValue(bar.maximum());
  QApplication::processEvents();
  const int bottom = bar.value();
  ASSERT_GT(bottom, 0);
  // MORE on the last page goes away when clicked; the focus must not move
  // on, or the list would jump to wherever it lands.
  click(view.moreButton());
  QApplication::processEvents();
  ASSERT_FALSE(onScreen(view.moreButton()));
  EXPECT_GE(bar.value(), bottom);
  ASSERT_TRUE(waitUntil([&] {
    bar.setValue(bar.maximum());
    return view.cards().size() == 31;
  }));
}

// With hundreds of cards a change must not rebuild the list: each change
// touches only its own card, and every other card (with its expanded state)
// stays the very widget it was.
TEST_F(HistoryPage, EachChangeTouchesOnlyItsOwnCard) {
  addRecords(45);
  showTall();
  const QList<HistoryCard*> before = view.cards();
  ASSERT_EQ(before.size(), 20);
  click(before.at(2)->expandButton());
  click(before.at(5)->expandButton());
  const auto expanded = [&] {
    QList<int> rows;
    for (int i = 0; i < view.cards().size(); ++i) {
      if (view.cards().at(i)->isExpanded()) rows.append(i);
    }
    return rows;
  };

  HistoryStore::shared().updateRecord(before.at(5)->record().id,
                                      [](RecordingHistory& record) { record.result = QStringLiteral("changed"); });
  EXPECT_EQ(view.cards(), before);
  EXPECT_TRUE(shows(*before.at(5), QStringLiteral("changed")));
  EXPECT_EQ(expanded(), (QList<int>{2, 5}));

  // A new request: one new card at the top, as tall as it asks, the oldest
  // shown one below the cut.
  HistoryStore::shared().addRecord(makeRecord(RecognitionStatus::processing));
  ASSERT_EQ(view.cards().size(), 20);
  EXPECT_EQ(view.cards().mid(1), before.mid(0, 19));
  EXPECT_TRUE(shows(*view.cards().first(), currentStrings().processing));
  EXPECT_EQ(expanded(), (QList<int>{3, 6}));
  EXPECT_LOOKS_RIGHT(view);

  // MORE: the next page's cards after the others, which stay as they are.
  const QList<HistoryCard*> firstPage = view.cards();
  click(view.moreButton());
  ASSERT_EQ(view.cards().size(), 40);
  EXPECT_EQ(view.cards().mid(0, 20), firstPage);
  EXPECT_EQ(shownResults().at(20), "r20");
  EXPECT_EQ(shownResults().last(), "r39");

  // A card pushed out of view and back is a fresh one.
  const QString id = view.cards().at(3)->record().id;
  const RecordingHistory newest = stored(RecognitionStatus::success, false);
  HistoryStore::shared().deleteRecord(newest.id, false);
  EXPECT_EQ(view.cards().at(3)->record().id, id);

  // A clean-up that removes nothing keeps every card.
  const QList<HistoryCard*> both = view.cards();
  HistoryStore::shared().setRetentionPolicy(RetentionPolicy::thirtyDays);
  EXPECT_EQ(view.cards(), both);

  // Deleting down to one page removes MORE.
  HistoryStore::shared().clearRecords();
  addRecords(21);
  view.hide();
  view.show();
  ASSERT_TRUE(shows(view, currentStrings().moreCount(1)));
  HistoryStore::shared().deleteRecord(HistoryStore::shared().records().at(3).id, false);
  EXPECT_FALSE(onScreen(view.moreButton()));
  EXPECT_EQ(shownWidgets<HistoryCard>(view).size(), 20);
}

TEST_F(HistoryPage, AShorterRetentionRemovesOldRecordsAtOnce) {
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
  showTall();
  ASSERT_EQ(shownResults(), (QStringList{"older", "old", "six days", "fresh"}));

  Q_EMIT view.retentionPicker()->activated(2);  // 7 days
  EXPECT_EQ(HistoryStore::shared().retentionPolicy(), RetentionPolicy::sevenDays);
  EXPECT_EQ(shownResults(), (QStringList{"six days", "fresh"}));
  EXPECT_EQ(QFile::exists(files.at(0)) + QFile::exists(files.at(1)) * 2 + QFile::exists(files.at(2)) * 4 +
                QFile::exists(files.at(3)) * 8,
            3)
      << "fresh and six days kept, old and older gone";

  Q_EMIT view.retentionPicker()->activated(4);  // never
  EXPECT_EQ(UserDefaults::shared().text(QStringLiteral("historyRetentionPolicy")), QStringLiteral("never"));
  EXPECT_TRUE(shownResults().isEmpty());
  EXPECT_TRUE(shows(view, currentStrings().noRecords));
  EXPECT_TRUE(shows(view, currentStrings().recordCount(0)));
  for (const QString& file : files) EXPECT_FALSE(QFile::exists(file)) << file.toStdString();
}

}  // namespace
