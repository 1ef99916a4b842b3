#include "mainwindow/cardcolumn.h"
#include "mainwindow/historycard.h"
#include "mainwindow/mainview.h"
#include "mainwindow/personalistcard.h"
#include "mainwindowtest.h"
#include "shownpage.h"
#include "theme/crossfade.h"
#include "theme/palette.h"

#include <gmock/gmock.h>
#include <algorithm>
#include <vector>

namespace {
using ViewAnimation = MainWindowServiceTest;

// In a list of cards, as the history page lays them out.
TEST_F(ViewAnimation, AHistoryCardGrowsAndShrinksThroughTheHeightsBetweenAndEndsLaidOut) {
  RecordingHistory record = makeRecord(RecognitionStatus::success);
  record.transcript = record.result = QStringLiteral("An answer that wraps over more than one line when expanded.");
  QWidget list;
  auto* card = new HistoryCard(record);
  (new CardColumn(&list))->insertWidget(0, card);
  list.resize(700, 800), list.show();
  settleLayout();
  const auto toggle = [&] {  // the height it ends at; the heights on the way lie between
    const int before = card->height();
    card->toggleExpanded();
    std::vector<int> seen;
    EXPECT_TRUE(waitUntil([&] {
      seen.push_back(card->height());
      return card->heightAnimation().state() == QAbstractAnimation::Stopped;
    }));
    settleLayout();
    const int low = std::min(before, card->height()), high = std::max(before, card->height());
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [&](int h) { return h > low && h < high; }));
    EXPECT_THAT(shownPageFaults(list), ::testing::IsEmpty());
    return card->height();
  };
  const int collapsed = card->height();
  EXPECT_GT(toggle(), collapsed);
  EXPECT_EQ(card->heightAnimation().duration(), 200);
  EXPECT_EQ(toggle(), collapsed);
}

TEST_F(ViewAnimation, APersonaCardEasesIntoItsActiveLookOnlyOnScreen) {
  for (const bool shown : {true, false}) {
    PersonaListCard card(PersonaItem{QStringLiteral("p1"), QStringLiteral("Writer"), std::nullopt, false, {}});
    if (shown) card.show();
    card.setPersona(PersonaItem{QStringLiteral("p1"), QStringLiteral("Writer"), std::nullopt, true, {}});
    const QColor green = Palette::withOpacity(Palette::neonGreen, 0.3);
    EXPECT_EQ(card.shownStyle().neon != green, shown);
    EXPECT_EQ(card.neonAnimation().duration(), 200);
    EXPECT_TRUE(waitUntil([&] { return card.shownStyle().neon == green && card.shownStyle().glowRadius == 5; }));
  }
}

TEST_F(ViewAnimation, ChoosingAnotherLanguageCrossFadesTheWindow) {
  MainView window;
  window.show(), window.chooseLanguage(AppLanguage::en);  // the language it has: nothing to fade
  EXPECT_FALSE(CrossFade::running(&window));
  window.chooseLanguage(AppLanguage::zh);
  ASSERT_TRUE(CrossFade::running(&window));
  EXPECT_EQ(CrossFade::running(&window)->animation().duration(), 200);
  EXPECT_TRUE(waitUntil([&] { return !CrossFade::running(&window); }));
}

}  // namespace
