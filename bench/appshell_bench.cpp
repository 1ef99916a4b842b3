// The running program as a whole: how long from its start until its event loop
// turns (the start-up tasks run on the first turn and their first request
// reaches the service), and how much memory the tray program then holds.
// Run it on the test desktop: it starts build/src/app/veltrine against a fake
// service, once per iteration.
#include "benchmain.h"
#include "fakeservice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <benchmark/benchmark.h>

namespace {

QString programPath() {
  const QByteArray configured = qgetenv("VELTRINE_PROGRAM");
  if (!configured.isEmpty()) return QString::fromLocal8Bit(configured);
  return QCoreApplication::applicationDirPath() + QStringLiteral("/../src/app/veltrine");
}

// Resident memory of a process in kB, from /proc.
double residentKilobytes(qint64 pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble();
  }
  return 0;
}

void stop(QProcess& program) {
  program.terminate();
  if (!program.waitForFinished(3000)) {
    program.kill();
    program.waitForFinished(3000);
  }
}

void BM_LaunchToEventLoopAndResidentMemory(benchmark::State& state) {
  if (qgetenv("DISPLAY").isEmpty()) {
    state.SkipWithError("needs a display (run it on the test desktop)");
    return;
  }
  FakeService service;
  service.route("GET", "/veltrine/api/v1/config/startup", ScriptedResponse::json(200, "{}"));
  double resident = 0;
  for (auto _ : state) {
    service.clearRequests();
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VELTRINE_SERVICE_ORIGIN"), service.origin().toString());
    program.setProcessEnvironment(environment);
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(QProcess::nullDevice());

    QElapsedTimer clock;
    clock.start();
    program.start(programPath(), {});
    if (!program.waitForStarted(5000) || !service.waitForRequests(1, std::chrono::seconds(10))) {
      state.SkipWithError("the program did not start or reach its event loop");
      stop(program);
      return;
    }
    state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);

    // Settled: the window has been shown and the first checks are done.
    state.PauseTiming();
    QThread::sleep(3);
    resident = residentKilobytes(program.processId());
    stop(program);
    state.ResumeTiming();
  }
  state.counters["resident_MB"] = resident / 1024.0;
}
BENCHMARK(BM_LaunchToEventLoopAndResidentMemory)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }
