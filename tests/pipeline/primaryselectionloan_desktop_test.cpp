// PRIMARY lent to a paste, as a program that reads it sees the loan.
#include "awaittask.h"
#include "testenvironment.h"
#include "xclient.h"

#include "core/clock.h"
#include "pipeline/primaryselectionloan.h"
#include "platform/x11/x11pasteboard.h"

#include <future>
#include <thread>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// gvim reads PRIMARY asking for its own _VIMENC_TEXT first, then for
// UTF8_STRING. The refusal comes at once and does not end the loan: the
// second request still gets the lent text, and the user's own PRIMARY comes
// back after that read, long before the loan would have given up waiting.
TEST(PrimarySelectionLoan, ARefusedRequestIsNoReadAndTheLoanEndsAfterTheRealOne) {
  REQUIRE_TEST_DESKTOP();
  Clock::setTimeScaleForTesting(30);  // a loan nobody reads lasts 30 s
  X11Pasteboard primary(X11Pasteboard::Selection::primary);
  Pasteboard::installPrimarySelection(&primary);
  {
    XClient::ClipboardOwner users({{"UTF8_STRING", "UTF8_STRING", "the user's"}}, "PRIMARY");
    ASSERT_TRUE(users.owns());
    PrimarySelectionLoan loan;
    loan.lend(QStringLiteral("lent"));
    loan.giveBack(true);

    using Answer = std::optional<XClient::Requestor::Answer>;
    std::future<std::vector<Answer>> asked = std::async(std::launch::async, [] {
      XClient::Requestor gvim;
      std::vector<Answer> answers{gvim.ask("PRIMARY", "_VIMENC_TEXT", 6s)};
      std::this_thread::sleep_for(200ms);  // the loan looks for reads every 10 ms
      answers.push_back(gvim.ask("PRIMARY", "UTF8_STRING", 6s));
      for (int attempt = 0; attempt < 100; ++attempt) {  // then the user's own comes back
        answers.push_back(gvim.ask("PRIMARY", "UTF8_STRING", 6s));
        if (!answers.back() || answers.back()->bytes != "lent") break;
        std::this_thread::sleep_for(50ms);
      }
      return answers;
    });
    ASSERT_TRUE(waitUntil([&] { return asked.wait_for(0s) == std::future_status::ready; }, 20s));
    const std::vector<Answer> answers = asked.get();
    ASSERT_TRUE(answers[0] && answers[1] && answers.back());
    EXPECT_TRUE(answers[0]->refused);
    EXPECT_LT(answers[0]->after, 50ms);
    EXPECT_EQ(answers[1]->bytes, "lent");
    EXPECT_EQ(answers.back()->bytes, "the user's");
    EXPECT_LT(answers.size(), 60u);  // within 3 s, where the loan waits 30 s for a read
  }
  primary.clearContents();
  Pasteboard::installPrimarySelection(nullptr);
  Clock::setTimeScaleForTesting(1);
}

// fcitx5 reads PRIMARY as soon as it changes hands, while the paste key is
// still on its way to the terminal through the input method. That read is not
// the terminal's: the terminal, reading 300 ms later, still gets the lent text.
TEST(PrimarySelectionLoan, LastsUntilTheTerminalItselfHasReadIt) {
  REQUIRE_TEST_DESKTOP();
  X11Pasteboard primary(X11Pasteboard::Selection::primary);
  Pasteboard::installPrimarySelection(&primary);
  {
    XClient::ClipboardOwner users({{"UTF8_STRING", "UTF8_STRING", "the user's"}}, "PRIMARY");
    ASSERT_TRUE(users.owns());
    XClient::Requestor terminal;
    RunningApplication app;
    app.window = terminal.window();
    PrimarySelectionLoan loan;
    loan.lend(QStringLiteral("lent"), app);
    loan.giveBack(true);

    using Answer = std::optional<XClient::Requestor::Answer>;
    std::future<std::vector<Answer>> asked = std::async(std::launch::async, [&terminal] {
      XClient::Requestor inputMethod;
      std::vector<Answer> answers{inputMethod.ask("PRIMARY", "UTF8_STRING", 6s)};
      std::this_thread::sleep_for(300ms);
      answers.push_back(terminal.ask("PRIMARY", "UTF8_STRING", 6s));
      return answers;
    });
    ASSERT_TRUE(waitUntil([&] { return asked.wait_for(0s) == std::future_status::ready; }, 20s));
    const std::vector<Answer> answers = asked.get();
    ASSERT_TRUE(answers[0] && answers[1]);
    EXPECT_EQ(answers[0]->bytes, "lent");
    EXPECT_EQ(answers[1]->bytes, "lent");
    // Then the user's own comes back.
    EXPECT_TRUE(waitUntil([&] { return primary.string() == QStringLiteral("the user's"); }, 3s));
  }
  primary.clearContents();
  Pasteboard::installPrimarySelection(nullptr);
}

}  // namespace
