// The main of every test executable: a private home, a QApplication (offscreen
// unless the test runs on the test desktop), then GoogleTest.
//
// Every test runs in a process of its own, however the executable is started.
// ctest starts one process per test; an executable started with more than one
// test selected starts itself once per test (the program's shared objects are
// built once per process and hold each other, as in the running program, so a
// fresh process is the one sure way back to their initial state) and sums up
// what they reported. VELTRINE_TEST_ONE_PROCESS=1 runs them all in this process
// instead, for a debugger.
#include "testenvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <gmock/gmock.h>

#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
// The sanitized build (VELTRINE_SANITIZE): leaks are not looked for (the toolkit
// keeps its own allocations to the end), every other report stops the test, and
// reports that belong to a library's headers are suppressed. Set here and in
// the environment, so the programs the tests start follow the same options.
#define VELTRINE_ASAN_OPTIONS "detect_leaks=0:abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=0"
#define VELTRINE_UBSAN_OPTIONS \
  "halt_on_error=1:print_stacktrace=1:suppressions=" VELTRINE_UBSAN_SUPPRESSIONS
extern "C" const char* __asan_default_options() { return VELTRINE_ASAN_OPTIONS; }
extern "C" const char* __ubsan_default_options() { return VELTRINE_UBSAN_OPTIONS; }
#endif

namespace {

// Whether this start runs at most one test: a listing, a filter naming one
// test (as ctest starts each), or a start by the per-test runner below.
bool runsOneTest(int argc, char** argv) {
  if (!qEnvironmentVariableIsEmpty("VELTRINE_TEST_ONE_PROCESS")) return true;
  bool one = false;
  for (int i = 1; i < argc; ++i) {
    const QByteArray argument(argv[i]);
    if (argument == "--gtest_list_tests") return true;
    if (argument.startsWith("--gtest_filter=")) {
      const QByteArray filter = argument.mid(15);
      one = !filter.isEmpty() && !filter.contains('*') && !filter.contains('?') && !filter.contains(':');
    }
  }
  return one;
}

// The names of the tests this start selects, as "Suite.Name".
QStringList selectedTests(const QString& self, const QStringList& arguments) {
  QProcess list;
  list.start(self, QStringList(arguments) << QStringLiteral("--gtest_list_tests"));
  list.waitForFinished(-1);
  QStringList names;
  QString suite;
  for (const QByteArray& line : list.readAllStandardOutput().split('\n')) {
    const QString text = QString::fromUtf8(line);
    const QString first = text.trimmed().section(QLatin1Char(' '), 0, 0);
    if (first.isEmpty()) continue;
    if (!text.startsWith(QLatin1Char(' ')))
      suite = first;
    else
      names << suite + first;
  }
  return names;
}

// Runs each selected test as its own process; prints the output of those that
// fail and a summary in GoogleTest's words.
int runEachInItsOwnProcess(int argc, char** argv) {
  qputenv("VELTRINE_TEST_ONE_PROCESS", "1");  // what this process starts runs as asked
  const QString self = QString::fromLocal8Bit(argv[0]);
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const QStringList names = selectedTests(self, arguments);
  QStringList kept;
  for (const QString& argument : arguments)
    if (!argument.startsWith(QStringLiteral("--gtest_filter"))) kept << argument;
  QStringList failed;
  for (const QString& name : names) {
    QProcess test;
    test.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer clock;
    clock.start();
    test.start(self, QStringList(kept) << QStringLiteral("--gtest_filter=") + name);
    test.waitForFinished(-1);
    const QByteArray output = test.readAll();
    const bool passed = test.exitStatus() == QProcess::NormalExit && test.exitCode() == 0;
    if (!passed) {
      std::fwrite(output.constData(), 1, output.size(), stdout);
      failed << name;
    }
    std::printf("[ %s ] %s (%lld ms)\n", passed ? "      OK" : " FAILED ", qPrintable(name), clock.elapsed());
    std::fflush(stdout);
  }
  std::printf("[==========] %lld tests ran, each in its own process.\n", static_cast<long long>(names.size()));
  std::printf("[  PASSED  ] %lld tests.\n", static_cast<long long>(names.size() - failed.size()));
  if (!failed.isEmpty()) {
    std::printf("[  FAILED  ] %lld tests, listed below:\n", static_cast<long long>(failed.size()));
    for (const QString& name : failed) std::printf("[  FAILED  ] %s\n", qPrintable(name));
  }
  return failed.isEmpty() && !names.isEmpty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__SANITIZE_ADDRESS__)
  if (qEnvironmentVariableIsEmpty("ASAN_OPTIONS")) qputenv("ASAN_OPTIONS", VELTRINE_ASAN_OPTIONS);
  if (qEnvironmentVariableIsEmpty("UBSAN_OPTIONS")) qputenv("UBSAN_OPTIONS", VELTRINE_UBSAN_OPTIONS);
#endif
  if (!runsOneTest(argc, argv)) {
    QCoreApplication app(argc, argv);
    return runEachInItsOwnProcess(argc, argv);
  }

  TestEnvironment::setUp();
  if (!TestEnvironment::desktopAvailable()) qputenv("QT_QPA_PLATFORM", "offscreen");
  int status = 0;
  {
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    status = RUN_ALL_TESTS();
  }
  TestEnvironment::tearDown();
  return status;
}
