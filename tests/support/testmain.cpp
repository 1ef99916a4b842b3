// The main of every test executable: a private home, a QApplication (offscreen
// unless the test runs on the test desktop), then GoogleTest. Every test runs
// in a process of its own however the executable is started, as ctest starts
// them: the program's shared objects are built once per process and hold each
// other, so a fresh process is the one sure way back to their initial state.
// With more than one test selected, the executable starts itself once per test
// and sums up; VELTRINE_TEST_ONE_PROCESS=1 runs them all here, for a debugger.
#include "testenvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <gmock/gmock.h>

#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
// Sanitized: no leak search (the toolkit keeps allocations to the end), every
// other report stops the test, reports from a library's headers are suppressed;
// put in the environment too, for the programs the tests start.
#define VELTRINE_ASAN_OPTIONS "detect_leaks=0:halt_on_error=1"
#define VELTRINE_UBSAN_OPTIONS "halt_on_error=1:print_stacktrace=1:suppressions=" VELTRINE_UBSAN_SUPPRESSIONS
extern "C" const char* __asan_default_options() { return VELTRINE_ASAN_OPTIONS; }
extern "C" const char* __ubsan_default_options() { return VELTRINE_UBSAN_OPTIONS; }
#endif

namespace {

// A listing, a filter naming one test (as ctest starts each), or a start by
// runEachInItsOwnProcess().
bool runsOneTest(const QStringList& arguments) {
  if (!qEnvironmentVariableIsEmpty("VELTRINE_TEST_ONE_PROCESS") || arguments.contains("--gtest_list_tests")) return true;
  bool one = false;
  for (const QString& argument : arguments)
    if (argument.startsWith("--gtest_filter=")) one = !argument.mid(15).contains(QRegularExpression("^$|[*?:]"));
  return one;
}

int runEachInItsOwnProcess(const QString& self, QStringList arguments) {
  qputenv("VELTRINE_TEST_ONE_PROCESS", "1");
  QProcess list;
  list.start(self, QStringList(arguments) << "--gtest_list_tests");
  list.waitForFinished(-1);
  if (list.exitStatus() != QProcess::NormalExit || list.exitCode() != 0) {
    std::fprintf(stderr, "the tests could not be listed\n");
    return 1;
  }
  QStringList names;
  QString suite;
  for (const QString& line : QString::fromUtf8(list.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
    const QString first = line.trimmed().section(' ', 0, 0);
    if (line.startsWith(' ')) names << suite + first;
    else suite = first;
  }
  arguments.removeIf([](const QString& argument) { return argument.startsWith("--gtest_filter"); });
  QStringList failed;
  for (const QString& name : names) {
    QProcess test;
    test.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer clock;
    clock.start();
    test.start(self, QStringList(arguments) << "--gtest_filter=" + name);
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
  std::printf("[==========] %d tests ran, each in its own process.\n[  PASSED  ] %d tests.\n", int(names.size()),
              int(names.size() - failed.size()));
  if (!failed.isEmpty()) std::printf("[  FAILED  ] %d tests, listed below:\n", int(failed.size()));
  for (const QString& name : failed) std::printf("[  FAILED  ] %s\n", qPrintable(name));
  return failed.isEmpty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__SANITIZE_ADDRESS__)
  if (qEnvironmentVariableIsEmpty("ASAN_OPTIONS")) qputenv("ASAN_OPTIONS", VELTRINE_ASAN_OPTIONS);
  if (qEnvironmentVariableIsEmpty("UBSAN_OPTIONS")) qputenv("UBSAN_OPTIONS", VELTRINE_UBSAN_OPTIONS);
#endif
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (!runsOneTest(arguments)) {
    QCoreApplication app(argc, argv);
    return runEachInItsOwnProcess(QString::fromLocal8Bit(argv[0]), arguments);
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
