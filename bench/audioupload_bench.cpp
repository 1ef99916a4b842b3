// The client's cost of uploading a 60-second recording (16 kHz mono 16-bit
// WAV, 1,920,044 bytes). Budget: under 20 ms of client work.
//
// BM_BuildMultipartBody: reading the file and building the whole form.
// BM_UploadRoundTrip: from the call until the decoded answer is back, against
// a fake service on loopback; the request goes out on a connection of its own
// from the main thread, and its CPU column is the client's work.
// BM_SmallRoundTrip: a small GET, for comparison (a new connection each time).
// BM_OversizedAnswer: a 200 MB answer to a GET, refused once it passes the
// client's cap; "peak_rss_MB" is the process's peak resident size meanwhile.
#include "awaittask.h"
#include "benchmain.h"
#include "fakeservice.h"
#include "service/apiclient.h"
#include "service/multipartbody.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString recordingPath;
// One fake service for the process: the client keeps its base URL.
FakeService* service = nullptr;

void writeRecording(const QString& folder) {
  constexpr int sampleRate = 16000;
  constexpr int seconds = 60;
  QByteArray data(sampleRate * seconds * 2, Qt::Uninitialized);
  for (qsizetype i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 37) & 0xff);
  recordingPath = folder + QStringLiteral("/recording.wav");
  QFile file(recordingPath);
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write the recording");
  file.write(QByteArray(44, '\0'));  // the header's bytes do not matter here
  file.write(data);
}

void BM_BuildMultipartBody(benchmark::State& state) {
  const QStringList clipboard{QStringLiteral("a copied line"), QStringLiteral("https://example.com/a/b")};
  for (auto _ : state) {
    const QByteArray body = buildMultipartBody(recordingPath, QStringLiteral("rewrite"), QStringLiteral("selected text"),
                                               clipboard, QStringLiteral("installed"), newMultipartBoundary());
    benchmark::DoNotOptimize(body.constData());
  }
  state.SetBytesProcessed(state.iterations() * QFileInfo(recordingPath).size());
}
BENCHMARK(BM_BuildMultipartBody)->Unit(benchmark::kMillisecond);

void BM_UploadRoundTrip(benchmark::State& state) {
  for (auto _ : state) {
    const AudioProcessResponse answer = awaitTask(APIClient::shared().processAudio(
        recordingPath, QStringLiteral("rewrite"), QStringLiteral("selected text"), std::nullopt));
    benchmark::DoNotOptimize(answer.result.constData());
  }
}
BENCHMARK(BM_UploadRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_SmallRoundTrip(benchmark::State& state) {
  for (auto _ : state) awaitTask(APIClient::shared().fetchUserPlanInfo());
}
BENCHMARK(BM_SmallRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(50);

// Starts the process's peak resident size afresh from its current size.
void resetPeakResident() {
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

// The process's peak resident size since the last reset, in MB (VmHWM).
double peakResidentMB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
  }
  return 0;
}

void BM_OversizedAnswer(benchmark::State& state) {
  service->clearRequests();  // the uploads it recorded would dwarf the figure
  resetPeakResident();
  for (auto _ : state) {
    try {
      awaitTask(APIClient::shared().fetchHotWords());
      state.SkipWithError("a 200 MB answer was accepted");
    } catch (const APIError&) {
    }
  }
  state.counters["peak_rss_MB"] = peakResidentMB();
}
BENCHMARK(BM_OversizedAnswer)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<FakeService> fake;
  return runBenchmarks(
      argc, argv,
      [&fake] {
        writeRecording(TestEnvironment::root());
        fake = std::make_unique<FakeService>();
        fake->route("POST", "/veltrine/api/v1/audio/process",
                    ScriptedResponse::json(
                        200, R"({"operation":"rewrite","action_type":"paste","transcript":"t","result":"r"})"));
        fake->route("GET", "/veltrine/api/v1/config/plan", ScriptedResponse::json(200, "{}"));
        ScriptedResponse huge = ScriptedResponse::json(200, "");
        huge.streamedBody = 200 * 1024 * 1024;
        fake->route("GET", "/veltrine/api/v1/hotwords", huge);
        qputenv("VELTRINE_SERVICE_ORIGIN", fake->origin().toString().toUtf8());
        service = fake.get();
        return true;
      },
      [&fake] { fake.reset(); });
}
