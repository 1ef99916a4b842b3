#include "windowmanagerdesktop.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

namespace WindowManagerDesktop {

QStringList all() {
  return {QStringLiteral("openbox"), QStringLiteral("kwin"), QStringLiteral("mutter"), QStringLiteral("xfwm4"),
          QStringLiteral("i3")};
}

QString current() {
  const QString named = qEnvironmentVariable("VELTRINE_TEST_WM");
  return named.isEmpty() ? QStringLiteral("openbox") : named;
}

qint64 currentProcessId() { return qEnvironmentVariableIntValue("VELTRINE_TEST_WM_PID"); }

bool showWorkspace(int index) {
  const auto run = [](const QString& program, const QStringList& arguments) {
    return QProcess::execute(program, arguments) == 0;
  };
  // i3 makes its workspaces as they are named, and takes no count of them.
  if (current() == QStringLiteral("i3")) {
    return run(QStringLiteral("i3-msg"), {QStringLiteral("-q"), QStringLiteral("workspace number %1").arg(index + 1)});
  }
  if (index > 0 && !run(QStringLiteral("xdotool"), {QStringLiteral("set_num_desktops"), QString::number(index + 1)})) {
    return false;
  }
  return run(QStringLiteral("xdotool"), {QStringLiteral("set_desktop"), QString::number(index)});
}

Run runCurrentTestUnder(const QString& name) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const QString filter =
      QStringLiteral("--gtest_filter=%1.%2").arg(QString::fromUtf8(test->test_suite_name()), QString::fromUtf8(test->name()));
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("VELTRINE_TEST_WM"), name);
  environment.remove(QStringLiteral("VELTRINE_TEST_WM_PID"));
  QProcess desktop;
  desktop.setProcessEnvironment(environment);
  desktop.setProcessChannelMode(QProcess::MergedChannels);
  // The desktop's EXIT trap stops what it started once the test has ended.
  desktop.start(QStringLiteral("bash"),
                {QStringLiteral("-c"), QStringLiteral(R"(source "$1" && shift && start_test_desktop >/dev/null && "$@")"),
                 QStringLiteral("bash"), QStringLiteral(VELTRINE_TEST_DESKTOP_SCRIPT),
                 QCoreApplication::applicationFilePath(), filter});
  Run run;
  // Within the test's own time limit (120 s), so that a desktop that hangs is
  // still torn down: its shell's EXIT trap stops what it started.
  if (!desktop.waitForFinished(100000)) {
    desktop.terminate();
    if (!desktop.waitForFinished(10000)) desktop.kill();
    run.output = QString::fromUtf8(desktop.readAll()) + QStringLiteral("\n(the desktop did not end within 100 s)");
    return run;
  }
  run.output = QString::fromUtf8(desktop.readAll());
  run.passed = desktop.exitStatus() == QProcess::NormalExit && desktop.exitCode() == 0 &&
               run.output.contains(QStringLiteral("[  PASSED  ] 1 test"));
  return run;
}

}  // namespace WindowManagerDesktop
