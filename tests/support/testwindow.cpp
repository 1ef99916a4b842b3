#include "testwindow.h"

#include "awaittask.h"

#include "platform/linux/atspiconnection.h"
#include "platform/linux/processancestry.h"

#include <QFile>

namespace {

// Flatpak's launch: `flatpak run` starts the bus proxy in a sandbox of its
// own, waits for its socket, then becomes the application's sandbox.
// Arguments: the accessibility bus, the proxy's socket, the command.
const QString sandboxLauncher = QStringLiteral(R"(
bus=$1 socket=$2; shift 2
bwrap --dev-bind / / --die-with-parent xdg-dbus-proxy "$bus" "$socket" &
for wait in $(seq 250); do [ -S "$socket" ] && break; sleep 0.02; done
exec bwrap --dev-bind / / --unshare-pid --die-with-parent "$@")");

QList<qint64> childrenOf(qint64 pid) {
  QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
  QList<qint64> found;
  if (children.open(QIODevice::ReadOnly)) {
    for (const QByteArray& child : children.readAll().simplified().split(' ')) {
      if (!child.isEmpty()) found << child.toLongLong();
    }
  }
  return found;
}

}  // namespace

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
  QStringList command;
  if (kind == Kind::qt) command = {QStringLiteral(VELTRINE_TESTWINDOW_PATH)};
  else if (kind == Kind::tkEditor)  // Debian's own Python, which the Tk and GTK bindings are installed for
    command = {QStringLiteral("/usr/bin/python3"), QStringLiteral(VELTRINE_TKWINDOW_PATH)};
  else
    command = {QStringLiteral("/usr/bin/python3"), QStringLiteral(VELTRINE_GTKWINDOW_PATH),
               kind == Kind::gtkEditor ? QStringLiteral("editor") : QStringLiteral("terminal")};
  if (sandboxed_) {
    const QString bus = AtspiConnection::busAddress().value_or(QString());
    const QString socket = sandboxFolder_.filePath(QStringLiteral("bus"));
    if (bus.isEmpty() || !sandboxFolder_.isValid()) return false;
    environment.insert(QStringLiteral("AT_SPI_BUS_ADDRESS"), QStringLiteral("unix:path=") + socket);
    command = QStringList{QStringLiteral("-c"), sandboxLauncher, QStringLiteral("sh"), bus, socket} + command;
    command.prepend(QStringLiteral("/bin/sh"));
  }
  process_.setProcessEnvironment(environment);
  process_.start(command.takeFirst(), command);
  if (!process_.waitForStarted(static_cast<int>(timeout.count()))) return false;
  return waitForLine(QStringLiteral("ready"), timeout);
}

qint64 TestWindow::applicationProcessId() const {
  if (!sandboxed_) return processId();
  // Below the launcher: the sandboxes' own processes, the proxy, the application.
  QList<qint64> generation{processId()};
  for (int depth = 0; depth < 4 && !generation.isEmpty(); ++depth) {
    QList<qint64> next;
    for (const qint64 pid : generation) {
      const QByteArray name = ProcessAncestry::nameOf(pid);
      if (pid != processId() && name != "bwrap" && name != "xdg-dbus-proxy") return pid;
      next += childrenOf(pid);
    }
    generation = next;
  }
  return 0;
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
