// What reading and serving X selections costs with another application on
// the other side: the text of an owner that offers STRING alone (its list of
// targets, then the text), and the answer to a request for a target we do
// not offer, and to one for our text, as gvim makes them while PRIMARY is
// lent. Needs the test desktop:
//   source scripts/test-desktop.sh; start_test_desktop; build/bench/selectionrequest_bench
#include "platform/x11/x11pasteboard.h"

#include "awaittask.h"
#include "benchmain.h"
#include "xclient.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <future>

namespace {

using namespace std::chrono_literals;

void BM_ReadTheTextOfAnOwnerThatOffersStringAlone(benchmark::State& state) {
  XClient::ClipboardOwner nedit({{"TIMESTAMP", "INTEGER", std::string(4, '\0')}, {"STRING", "STRING", "beta"}});
  X11Pasteboard clipboard;
  for (auto _ : state) {
    if (clipboard.plainText(0) != QStringLiteral("beta")) {
      state.SkipWithError("the text was not read");
      return;
    }
  }
}
BENCHMARK(BM_ReadTheTextOfAnOwnerThatOffersStringAlone)->Unit(benchmark::kMillisecond)->Iterations(100);

// The time another application waits for each answer, our event loop serving it.
void answerTo(benchmark::State& state, const char* target, bool refused) {
  X11Pasteboard primary(X11Pasteboard::Selection::primary);
  primary.setString(QStringLiteral("lent"));
  XClient::Requestor gvim;
  for (auto _ : state) {
    std::future<std::optional<XClient::Requestor::Answer>> answer =
        std::async(std::launch::async, [&] { return gvim.ask("PRIMARY", target, 5s); });
    waitUntil([&] { return answer.wait_for(0s) == std::future_status::ready; }, 6s);
    const std::optional<XClient::Requestor::Answer> got = answer.get();
    if (!got || got->refused != refused) {
      state.SkipWithError("not answered as expected");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(got->after).count());
  }
  primary.clearContents();
}
void BM_RefuseATargetWeDoNotOffer(benchmark::State& state) { answerTo(state, "_VIMENC_TEXT", true); }
void BM_AnswerOurText(benchmark::State& state) { answerTo(state, "UTF8_STRING", false); }
BENCHMARK(BM_RefuseATargetWeDoNotOffer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_AnswerOurText)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace

int main(int argc, char** argv) {
  return runBenchmarks<QGuiApplication>(argc, argv, [] {
    if (qgetenv("DISPLAY").isEmpty()) {
      std::fprintf(stderr, "selectionrequest_bench: needs the test desktop (DISPLAY)\n");
      return false;
    }
    return true;
  });
}
