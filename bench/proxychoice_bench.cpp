// What choosing the proxy adds to each request, on the main thread: the
// desktop's configuration (libproxy) is asked anew for every URL.
#include "benchmain.h"
#include "core/proxychoice.h"

#include <QNetworkProxyFactory>

#include <benchmark/benchmark.h>

namespace {

const QUrl kService(QStringLiteral("https://service.example.test/veltrine/api/v1/hotwords"));

void choose(benchmark::State& state, const char* httpsProxy) {
  httpsProxy ? qputenv("https_proxy", httpsProxy) : qunsetenv("https_proxy");
  for (auto _ : state) benchmark::DoNotOptimize(ProxyChoice::forUrl(kService));
}

// The first question of a run loads libproxy's modules.
void BM_FirstChoice(benchmark::State& state) { choose(state, "http://127.0.0.1:18991"); }
BENCHMARK(BM_FirstChoice)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ChoiceWithHttpsProxy(benchmark::State& state) { choose(state, "http://127.0.0.1:18991"); }
BENCHMARK(BM_ChoiceWithHttpsProxy)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_ChoiceWithoutProxy(benchmark::State& state) { choose(state, nullptr); }
BENCHMARK(BM_ChoiceWithoutProxy)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return runBenchmarks(argc, argv, [] {
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    return true;
  });
}
