// Checking a downloaded release's signature. Ed25519 hashes the whole file,
// so the time grows with the release: a large AppImage takes long enough that
// the check runs on a worker thread, away from the hotkeys.
#include "app/updatesignature.h"
#include "benchmain.h"
#include "testenvironment.h"
#include "testsigningkey.h"

#include <QFile>

#include <benchmark/benchmark.h>

namespace {

void BM_VerifyRelease(benchmark::State& state) {
  const TestSigningKey key;
  const QByteArray release(state.range(0) * 1024 * 1024, 'r');
  const QString path = TestEnvironment::root() + QStringLiteral("/release.AppImage");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(release) != release.size()) {
    state.SkipWithError("the release could not be written");
    return;
  }
  file.close();
  const QString signature = QString::fromLatin1(key.sign(release));
  for (auto _ : state) {
    const QString failure = UpdateSignature::verify(path, signature, key.publicKey());
    if (!failure.isEmpty()) state.SkipWithError(failure.toStdString().c_str());
  }
  state.SetBytesProcessed(state.iterations() * release.size());
}
BENCHMARK(BM_VerifyRelease)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }
