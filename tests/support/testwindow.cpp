#include "testwindow.h"

#include "awaittask.h"


TestWindow::TestWindow() {
  QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { readOutput(); });
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

TestWindow::~TestWindow() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.write("quit\n");
  if (!process_.waitForFinished(2000)) {
    process_.kill();
    process_.waitForFinished(2000);
  }
}

bool TestWindow::start(Kind kind, std::chrono::milliseconds timeout) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));  // a real window on the test display
  environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
  environment.insert(environment_);
  process_.setProcessEnvironment(environment);
  if (kind == Kind::qt) process_.start(QStringLiteral(VELTRINE_TESTWINDOW_PATH), {});
  else  // Debian's own Python, which the GTK bindings are installed for
    process_.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(VELTRINE_GTKWINDOW_PATH),
                                                        kind == Kind::gtkEditor ? QStringLiteral("editor") : QStringLiteral("terminal")});
  if (!process_.waitForStarted(static_cast<int>(timeout.count()))) return false;
  return waitForLine(QStringLiteral("ready"), timeout);
}

bool TestWindow::command(const QString& line, std::chrono::milliseconds timeout) {
  const qsizetype from = lines_.size();
  const QString verb = line.section(QLatin1Char(' '), 0, 0);
  process_.write(line.toUtf8() + '\n');
  bool ok = false;
  waitUntil(
      [&] {
        for (qsizetype i = from; i < lines_.size(); ++i) {
          if (lines_[i] == QStringLiteral("ok ") + verb) ok = true;
          if (ok || lines_[i].startsWith(QStringLiteral("error "))) return true;
        }
        return false;
      },
      timeout);
  return ok;
}

bool TestWindow::waitForLine(const QString& line, std::chrono::milliseconds timeout) {
  return waitUntil([&] { return lines_.contains(line); }, timeout);
}

void TestWindow::readOutput() {
  pending_.append(process_.readAllStandardOutput());
  for (qsizetype end; (end = pending_.indexOf('\n')) >= 0; pending_.remove(0, end + 1))
    lines_.append(QString::fromUtf8(pending_.left(end)));
}
