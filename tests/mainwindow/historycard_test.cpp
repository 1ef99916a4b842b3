#include "mainwindow/historycard.h"

#include "core/clock.h"
#include "historyrecords.h"
#include "localization/appstrings.h"
#include "mainwindow/historycardlook.h"
#include "mainwindow/historyview.h"
#include "mainwindow/outlinebutton.h"
#include "mainwindow/plainbutton.h"
#include "mainwindowtest.h"
#include "overlays/markdownscrollview.h"
#include "overlays/resultoverlaywindowcontroller.h"
#include "service/authstore.h"
#include "theme/palette.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QTest>
#include <QTimeZone>

namespace {

class HistoryCardTest : public MainWindowServiceTest {
 protected:
  void SetUp() override {
    // Deletions reach only files in the account's own audio folder.
    AuthStore::shared().setEmail(QStringLiteral("writer@example.com"));
    AuthStore::shared().setToken(QStringLiteral("token-1"));
    AuthStore::shared().setCreditsRemaining(10);
    HistoryStore::shared().load();
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

  // The page's card of `record`.
  static HistoryCard* cardOf(const HistoryView& view, const RecordingHistory& record) {
    for (HistoryCard* card : view.cards()) {
      if (card->record().id == record.id) return card;
    }
    return nullptr;
  }

  static QAbstractButton* dialogButton(QMessageBox* box, const QString& text) {
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == text) return button;
    }
    return nullptr;
  }
};

TEST_F(HistoryCardTest, OffersTheActionsTheRecordAllows) {
  const struct {
    const char* name;
    RecognitionStatus status;
    bool audio;
    bool pathSet;
    bool retryable;
    bool retry, deleteAudio, remove;
  } rows[] = {
      {"pending", RecognitionStatus::pending, true, true, true, false, false, false},
      {"processing", RecognitionStatus::processing, true, true, true, false, false, false},
      {"failed", RecognitionStatus::failed, true, true, true, true, true, true},
      {"failed, not retryable", RecognitionStatus::failed, true, true, false, false, true, true},
      {"failed, audio gone", RecognitionStatus::failed, false, true, true, false, false, true},
      {"success", RecognitionStatus::success, true, true, false, false, true, true},
      {"success, retryable", RecognitionStatus::success, true, true, true, true, true, true},
      {"no audio path", RecognitionStatus::success, false, false, true, false, false, true},
  };
  for (const auto& row : rows) {
    RecordingHistory record = makeRecord(row.status);
    if (row.pathSet) {
      record.audioFilePath = TestEnvironment::root() + "/audio/" + record.id + ".wav";
      if (row.audio) makeAudioFile(*record.audioFilePath);
    }
    record.retryable = row.retryable;
    HistoryCard card(record);
    EXPECT_EQ(card.retryButton() != nullptr, row.retry) << row.name;
    EXPECT_EQ(card.deleteAudioButton() != nullptr, row.deleteAudio) << row.name;
    EXPECT_EQ(card.deleteButton() != nullptr, row.remove) << row.name;
  }

  // A pending record looks like a processing one but for its colour and badge.
  HistoryCard pending(makeRecord(RecognitionStatus::pending));
  HistoryCard processing(makeRecord(RecognitionStatus::processing));
  EXPECT_EQ(pending.cardStyle().neon, Palette::withOpacity(Palette::neonOrange, 0.3));
  EXPECT_EQ(processing.cardStyle().neon, Palette::withOpacity(Palette::neonCyan, 0.3));
  const QStringList pendingTexts = shownTexts(pending);
  EXPECT_TRUE(pendingTexts.contains(currentStrings().statusWait));
  EXPECT_TRUE(pendingTexts.contains(currentStrings().processing));
  EXPECT_TRUE(shownTexts(processing).contains(currentStrings().processing));
}

TEST_F(HistoryCardTest, TheSummaryAndTheDetails) {
  RecordingHistory search = makeRecord(RecognitionStatus::success);
  search.actionType = QStringLiteral("show_markdown");
  search.result = QStringLiteral("# Found");
  HistoryCard searchCard(search);
  EXPECT_EQ(searchCard.summary(), HistoryCardLook::searchResultCaption);
  EXPECT_EQ(searchCard.markdownView(), nullptr);
  searchCard.expandButton()->click();
  EXPECT_TRUE(searchCard.isExpanded());
  EXPECT_EQ(searchCard.summary(), HistoryCardLook::searchResultCaption);
  ASSERT_NE(searchCard.markdownView(), nullptr);
  EXPECT_EQ(searchCard.markdownView()->height(), 280);
  EXPECT_EQ(static_cast<MarkdownScrollView*>(searchCard.markdownView())->text(), "# Found");
  ASSERT_NE(searchCard.floatingWindowButton(), nullptr);
  EXPECT_EQ(searchCard.floatingWindowButton()->text(), HistoryCardLook::floatingWindowTitle);
  // The answer comes back in the floating panel, rendered and pinned.
  searchCard.floatingWindowButton()->click();
  ResultOverlayViewModel& panel = ResultOverlayWindowController::shared().viewModel();
  ASSERT_TRUE(waitUntil([&] { return panel.text() == "# Found"; }));
  EXPECT_TRUE(panel.isMarkdown());
  EXPECT_TRUE(panel.pinned());

  // A search without its answer has nothing to show.
  search.result = QString();
  HistoryCard emptySearch(search);
  emptySearch.toggleExpanded();
  EXPECT_EQ(emptySearch.summary(), currentStrings().noResult);
  EXPECT_EQ(emptySearch.markdownView(), nullptr);
  EXPECT_EQ(emptySearch.resultCopyButton(), nullptr);

  // Five lines: three while collapsed, all of them again in the details.
  RecordingHistory plain = makeRecord(RecognitionStatus::success);
  plain.result = QStringLiteral("1\n2\n3\n4\n5");
  HistoryCard plainCard(plain);
  plainCard.show();
  const QLabel* summary = plainCard.findChildren<QLabel*>().constFirst();
  for (QLabel* label : plainCard.findChildren<QLabel*>()) {
    if (label->text() == plain.result) summary = label;
  }
  const int lineHeight = summary->fontMetrics().lineSpacing();
  EXPECT_LE(summary->maximumHeight(), 3 * lineHeight + 1);
  // The answer can be selected (and then copied) with the mouse.
  QTest::mouseDClick(const_cast<QLabel*>(summary), Qt::LeftButton, {}, QPoint(4, lineHeight / 2));
  EXPECT_EQ(summary->selectedText(), "1");
  plainCard.toggleExpanded();
  EXPECT_EQ(shownTexts(plainCard).count(*plain.result), 2);
  EXPECT_NE(plainCard.resultCopyButton(), nullptr);
  EXPECT_EQ(plainCard.transcriptCopyButton(), nullptr);

  // Neither transcript nor result: the details are empty.
  HistoryCard bare(makeRecord(RecognitionStatus::success));
  bare.toggleExpanded();
  EXPECT_EQ(bare.summary(), currentStrings().noResult);
  EXPECT_EQ(bare.resultCopyButton(), nullptr);
  EXPECT_EQ(bare.transcriptCopyButton(), nullptr);
}

TEST_F(HistoryCardTest, TheMetaRowTellsTimeDurationOperationAndStatus) {
  RecordingHistory record = makeRecord(RecognitionStatus::failed, QStringLiteral("dictate-v2"));
  record.createdAt = QDateTime(QDate(2025, 3, 4), QTime(9, 5, 7), QTimeZone::systemTimeZone());
  for (const auto& [seconds, shown] : {std::pair{0.04, "0.0s"}, std::pair{12.96, "13.0s"}, std::pair{2.34, "2.3s"}}) {
    record.processingDuration = seconds;
    HistoryCard card(record);
    const QStringList texts = shownTexts(card);
    EXPECT_TRUE(texts.contains("09:05:07"));
    EXPECT_TRUE(texts.contains(shown)) << shown;
    EXPECT_TRUE(texts.contains("dictate-v2"));  // an unknown operation as it is
    EXPECT_TRUE(texts.contains(currentStrings().statusFail));
  }
  EXPECT_EQ(HistoryCardLook::operationSymbol("dictate-v2"), "waveform");
}

TEST_F(HistoryCardTest, ACopyMarkLastsFromTheFirstTap) {
  Clock::setTimeScaleForTesting(0.2);  // 1.5 s take 300 ms
  RecordingHistory record = makeRecord(RecognitionStatus::success);
  record.transcript = QStringLiteral("heard");
  record.result = QStringLiteral("answer");
  HistoryCard card(record);
  card.toggleExpanded();
  QElapsedTimer clock;
  clock.start();
  card.resultCopyButton()->click();
  EXPECT_EQ(pasteboard.string(), "answer");
  EXPECT_TRUE(card.resultCopied());
  EXPECT_EQ(card.resultCopyButton()->text(), currentStrings().btnCopied);
  EXPECT_FALSE(card.transcriptCopied());
  waitUntil([&] { return clock.elapsed() >= 200; }, std::chrono::seconds(2));
  card.resultCopyButton()->click();
  // Gone 300 ms after the first tap, not after the second.
  waitUntil([&] { return clock.elapsed() >= 420; }, std::chrono::seconds(2));
  EXPECT_FALSE(card.resultCopied());
  EXPECT_EQ(card.resultCopyButton()->text(), currentStrings().btnCopy);

  card.transcriptCopyButton()->click();
  EXPECT_EQ(pasteboard.string(), "heard");
  EXPECT_TRUE(card.transcriptCopied());
  Clock::setTimeScaleForTesting(1.0);
}

TEST_F(HistoryCardTest, DeletingAsksAndKeepsTheAudioOnlyWhenAsked) {
  const RecordingHistory keepAudio = stored(RecognitionStatus::success, true);
  const RecordingHistory dropAudio = stored(RecognitionStatus::failed, true);
  const RecordingHistory cancelled = stored(RecognitionStatus::success, true);
  HistoryView view(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  view.resize(880, 30000);  // every card of the page made at once
  view.show();
  const AppStrings& strings = currentStrings();

  cardOf(view, cancelled)->deleteButton()->click();
  ASSERT_TRUE(cardOf(view, cancelled)->showDeleteConfirm());
  dialogButton(cardOf(view, cancelled)->deleteDialog(), strings.cancel)->click();
  EXPECT_FALSE(cardOf(view, cancelled)->showDeleteConfirm());

  cardOf(view, keepAudio)->deleteButton()->click();
  dialogButton(cardOf(view, keepAudio)->deleteDialog(), strings.deleteRecordOnly)->click();
  cardOf(view, dropAudio)->deleteButton()->click();
  dialogButton(cardOf(view, dropAudio)->deleteDialog(), strings.deleteRecordAndAudio)->click();
  ASSERT_TRUE(waitUntil([&] { return view.cards().size() == 1; }));
  EXPECT_EQ(view.cards().first()->record().id, cancelled.id);
  EXPECT_TRUE(QFile::exists(*keepAudio.audioFilePath));
  EXPECT_FALSE(QFile::exists(*dropAudio.audioFilePath));
  EXPECT_TRUE(QFile::exists(*cancelled.audioFilePath));

  // Deleting the recording alone keeps the record without its buttons.
  HistoryCard* card = view.cards().first();
  card->deleteAudioButton()->click();
  ASSERT_TRUE(waitUntil([&] { return !HistoryStore::shared().records().first().audioFilePath; }));
  EXPECT_FALSE(QFile::exists(*cancelled.audioFilePath));
  EXPECT_EQ(view.cards().first()->deleteAudioButton(), nullptr);
  EXPECT_EQ(view.cards().first()->retryButton(), nullptr);
}

TEST_F(HistoryCardTest, FlagsStayWithTheRecordWhileItIsShown) {
  for (int i = 0; i < 21; ++i) stored(RecognitionStatus::success, false);
  HistoryView view(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  view.resize(880, 30000);  // every card of the page made at once
  view.show();
  ASSERT_EQ(view.cards().size(), 20);
  // Page two holds the first record stored.
  HistoryCard* last = view.cards().last();
  last->toggleExpanded();
  HistoryStore::shared().updateRecord(last->record().id, [](RecordingHistory& changed) { changed.result = "new"; });
  EXPECT_TRUE(view.cards().last()->isExpanded());
  EXPECT_EQ(view.cards().last()->record().result, QStringLiteral("new"));

  // Pushed out of view by a newer record and back: a fresh card.
  const QString id = last->record().id;
  const RecordingHistory newest = stored(RecognitionStatus::success, false);
  HistoryStore::shared().deleteRecord(newest.id, false);
  EXPECT_EQ(view.cards().last()->record().id, id);
  EXPECT_FALSE(view.cards().last()->isExpanded());
}

TEST_F(HistoryCardTest, RetryStartsTheRequestAgain) {
  const QJsonObject answer{{"operation", "transcribe"}, {"action_type", "tip"}, {"transcript", "t"}, {"result", "r"}};
  ScriptedResponse slow = ScriptedResponse::json(200, QJsonDocument(answer).toJson(QJsonDocument::Compact));
  slow.delay = std::chrono::milliseconds(200);
  service.enqueue("POST", apiPath("/audio/process"), slow);
  const RecordingHistory record = stored(RecognitionStatus::failed, true);
  HistoryView view(HistoryStore::shared(), 20, 20, LanguageManager::shared());
  view.resize(880, 30000);  // every card of the page made at once
  view.show();
  cardOf(view, record)->retryButton()->click();
  // The card follows the record: processing, then its answer.
  ASSERT_TRUE(waitUntil([&] { return cardOf(view, record)->record().status == RecognitionStatus::processing; }));
  EXPECT_EQ(cardOf(view, record)->deleteButton(), nullptr);
  ASSERT_TRUE(waitUntil([&] { return cardOf(view, record)->record().status == RecognitionStatus::success; }));
  EXPECT_EQ(cardOf(view, record)->summary(), "r");
}

TEST_F(HistoryCardTest, SwitchingTheLanguageRedrawsAllButTheFixedCaptions) {
  RecordingHistory search = makeRecord(RecognitionStatus::success, QStringLiteral("agent"));
  search.actionType = QStringLiteral("show_markdown");
  search.result = QStringLiteral("# Found");
  search.transcript = QStringLiteral("heard");
  HistoryCard card(search);
  card.toggleExpanded();
  LanguageManager::shared().setCurrent(AppLanguage::ko);
  const AppStrings& korean = stringsFor(AppLanguage::ko);
  const QStringList texts = shownTexts(card);
  for (const QString& text : {korean.opAgent, korean.statusOk, korean.labelTranscript, korean.labelResult,
                              HistoryCardLook::searchResultCaption}) {
    EXPECT_TRUE(texts.contains(text)) << text.toStdString();
  }
  EXPECT_EQ(card.resultCopyButton()->text(), korean.btnCopy);
  EXPECT_EQ(card.floatingWindowButton()->text(), HistoryCardLook::floatingWindowTitle);
}

}  // namespace
