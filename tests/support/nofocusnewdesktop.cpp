#include "nofocusnewdesktop.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace {

constexpr int kStartMs = 10'000;

// Everything else is openbox's default.
constexpr char kConfiguration[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>no</focusNew></focus>
</openbox_config>
)";

void end(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(5000)) {
    process.kill();
    process.waitForFinished(5000);
  }
}

}  // namespace

NoFocusNewDesktop::~NoFocusNewDesktop() {
  end(windowManager_);
  end(server_);
}

bool NoFocusNewDesktop::start() {
  if (!folder_.isValid()) failed_ = QStringLiteral("no temporary folder");
  else if (!startDisplay()) failed_ = QStringLiteral("Xvfb did not name its display");
  else if (!startWindowManager()) failed_ = QStringLiteral("openbox did not manage the display ") + display_;
  return failed_.isEmpty();
}

QString NoFocusNewDesktop::failure() const {
  QString text = failed_;
  for (const QString& name : {QStringLiteral("xvfb.log"), QStringLiteral("openbox.log")}) {
    QFile log(folder_.filePath(name));
    if (log.open(QIODevice::ReadOnly)) text += QStringLiteral("\n--- ") + name + QStringLiteral("\n") + QString::fromUtf8(log.readAll().right(2000));
  }
  return text;
}

bool NoFocusNewDesktop::startDisplay() {
  // Xvfb picks a free display and writes its number on the descriptor given, here its output.
  server_.setStandardErrorFile(folder_.filePath(QStringLiteral("xvfb.log")));
  server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                                         QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
  const QDeadlineTimer deadline(kStartMs);
  while (!server_.canReadLine()) {
    if (deadline.hasExpired() || !server_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) return false;
  }
  bool ok = false;
  const int number = server_.readLine().trimmed().toInt(&ok);
  if (!ok) return false;
  display_ = QStringLiteral(":%1").arg(number);
  return true;
}

bool NoFocusNewDesktop::startWindowManager() {
  const QString configuration = folder_.filePath(QStringLiteral("rc.xml"));
  QFile file(configuration);
  if (!file.open(QIODevice::WriteOnly) || file.write(kConfiguration) < 0) return false;
  file.close();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DISPLAY"), display_);
  windowManager_.setProcessEnvironment(environment);
  windowManager_.setStandardOutputFile(QProcess::nullDevice());
  windowManager_.setStandardErrorFile(folder_.filePath(QStringLiteral("openbox.log")));
  windowManager_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable"), QStringLiteral("--config-file"), configuration});
  if (!windowManager_.waitForStarted(kStartMs)) return false;
  // Up once it names itself on the root window.
  const QDeadlineTimer deadline(kStartMs);
  while (!deadline.hasExpired() && windowManager_.state() == QProcess::Running) {
    QProcess check;
    check.start(QStringLiteral("xprop"), {QStringLiteral("-display"), display_, QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
    if (check.waitForFinished(kStartMs) && check.exitCode() == 0 &&
        check.readAllStandardOutput().contains("window id")) {
      return true;
    }
    QThread::msleep(50);
  }
  return false;
}
