// What the OpenClaw bridge costs the main thread. The launch report asks for
// the diagnostics synchronously (file checks and a read of the agent's
// configuration), and every piece of a streamed answer is parsed as it
// arrives, so both must stay far below a frame.
#include "benchmain.h"
#include "openclaw/chatstreamparser.h"
#include "openclaw/openclawmanager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void write(const QString& path, const QByteArray& content, bool executable = false) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return;
  file.write(content);
  file.close();
  if (executable) file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

// An installation found at the last candidate: four nvm Node versions, the
// tool in the newest, a configuration with a token.
void installAgent() {
  const QString home = QDir::homePath();
  for (const char* version : {"v18.20.0", "v20.11.1", "v21.7.0", "v22.1.0"}) {
    QDir().mkpath(home + QStringLiteral("/.nvm/versions/node/") + QString::fromUtf8(version));
  }
  write(home + QStringLiteral("/.nvm/versions/node/v22.1.0/bin/openclaw"), "#!/bin/sh\n", true);
  write(home + QStringLiteral("/.openclaw/openclaw.json"),
        R"({"gateway":{"mode":"local","auth":{"mode":"token","token":"0123456789abcdef"},)"
        R"("http":{"endpoints":{"chatCompletions":{"enabled":true}}}},"agents":{"defaults":{"model":"x"}}})");
}

void BM_Diagnostics(benchmark::State& state) {
  const OpenClawManager& manager = OpenClawManager::shared();
  for (auto _ : state) benchmark::DoNotOptimize(manager.diagnostics());
}
BENCHMARK(BM_Diagnostics)->Unit(benchmark::kMicrosecond);

void BM_StreamPiece(benchmark::State& state) {
  const QByteArray line =
      R"(data: {"id":"chatcmpl-1","object":"chat.completion.chunk","created":1760000000,"model":"openclaw",)"
      R"("choices":[{"index":0,"delta":{"content":"a short piece of the answer "},"finish_reason":null}]})";
  ChatStreamParser parser;
  for (auto _ : state) benchmark::DoNotOptimize(parser.feed(line));
  state.counters["pieces/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StreamPiece)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return runBenchmarks(argc, argv, [] {
    installAgent();
    return true;
  });
}
