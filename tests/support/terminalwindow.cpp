#include "terminalwindow.h"

#include "awaittask.h"
#include "testkeyboard.h"

#include <QFile>

#include <csignal>

using namespace std::chrono_literals;

namespace {

// Where the character cells lie in a terminal's window, in pixels (measured
// on the test desktop with each program's default font and layout).
struct CellGrid {
  double left, top, width, height;
};

CellGrid cellGrid(TerminalWindow::Program program) {
  switch (program) {
    case TerminalWindow::Program::konsole: return {1.5, 57, 7.5, 18};    // below its menu and tool bars
    case TerminalWindow::Program::qterminal: return {2, 56, 9.5, 22};    // below its menu and tab bars
    case TerminalWindow::Program::lxterminal: return {0, 28, 8, 17};     // below its menu bar
    case TerminalWindow::Program::xfce4terminal: return {0, 27, 10, 19};  // below its menu bar
    case TerminalWindow::Program::gnometerminal: return {0, 27, 9, 18};   // below its menu bar
    case TerminalWindow::Program::mateterminal: return {0, 27, 8, 17};    // below its menu bar
    case TerminalWindow::Program::coolretroterm: return {56, 52, 12.7, 29};  // inside the picture of a screen
    default: return {2, 2, 6, 13};  // xterm's "fixed" font (it is started with it) inside its border
  }
}

qint64 readNumber(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
}

}  // namespace

TerminalWindow::~TerminalWindow() {
  // The shell's end closes its window also where the window belongs to a
  // server that outlives the command that asked for it.
  if (shellProcessId_ > 0) ::kill(pid_t(shellProcessId_), SIGHUP);
  process_.kill();
  process_.waitForFinished(2000);
}

bool TerminalWindow::start(const QString& firstLine, Output output) {
  if (!folder_.isValid()) return false;
  // Ctrl+X Ctrl+L writes the command line to a file (renamed into place, so
  // it is never read half written).
  QFile rc(folder_.filePath(QStringLiteral("bashrc")));
  if (!rc.open(QIODevice::WriteOnly)) return false;
  rc.write(QStringLiteral(R"(PS1='$ '
HISTFILE=/dev/null
bind -x '"\C-x\C-l": printf "%s" "$READLINE_LINE" > "%1/line.part"; mv "%1/line.part" "%1/line"'
reader() { sh -c 'echo $$ > "%1/reader.pid"; exec cat > "%1/read"'; }
echo $$ > "%1/shell.pid"; echo $PPID > "%1/terminal.pid"
%3printf '%s\n' '%2'
: > "%1/ready"
)")
               .arg(folder_.path(), firstLine,
                    output == Output::scrolled ? QStringLiteral("seq 40; clear\n") : QString())
               .toUtf8());
  rc.close();
  process_.setProcessChannelMode(QProcess::ForwardedChannels);
  const QStringList shell{QStringLiteral("bash"), QStringLiteral("--noprofile"), QStringLiteral("--rcfile"), rc.fileName(),
                          QStringLiteral("-i")};
  if (program_ == Program::xterm) {
    process_.start(QStringLiteral("xterm"), QStringList{QStringLiteral("-fn"), QStringLiteral("fixed"),
                                                        QStringLiteral("-geometry"), QStringLiteral("80x12+40+40"),
                                                        QStringLiteral("-e")} + shell);
  } else if (program_ == Program::lxterminal) {  // its own process, not a window of one already running
    process_.start(QStringLiteral("lxterminal"),
                   {QStringLiteral("--no-remote"), QStringLiteral("--command=") + shell.join(u' ')});
  } else if (program_ == Program::xfce4terminal) {  // likewise
    process_.start(QStringLiteral("xfce4-terminal"),
                   {QStringLiteral("--disable-server"), QStringLiteral("--command=") + shell.join(u' ')});
  } else if (program_ == Program::gnometerminal) {  // a window of its server, which the bus starts
    process_.start(QStringLiteral("gnome-terminal"),
                   QStringList{QStringLiteral("--wait"), QStringLiteral("--")} + shell);
  } else if (program_ == Program::mateterminal) {  // its own process, not a window of one already running
    process_.start(QStringLiteral("mate-terminal"), {QStringLiteral("--disable-factory"), QStringLiteral("-e"), shell.join(u' ')});
  } else if (program_ == Program::coolretroterm) {  // OpenGL on Xvfb: in software
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LIBGL_ALWAYS_SOFTWARE"), QStringLiteral("1"));
    process_.setProcessEnvironment(environment);
    process_.start(QStringLiteral("cool-retro-term"),
                   QStringList{QStringLiteral("--default-settings"), QStringLiteral("-e")} + shell);
  } else if (program_ == Program::konsole) {
    process_.start(QStringLiteral("konsole"),
                   QStringList{QStringLiteral("--separate"), QStringLiteral("--nofork"), QStringLiteral("-e")} + shell);
  } else {
    process_.start(QStringLiteral("qterminal"), {QStringLiteral("-e"), shell.join(u' ')});
  }
  if (!process_.waitForStarted(5000)) return false;
  if (!waitUntil([this] { return QFile::exists(folder_.filePath(QStringLiteral("ready"))); }, 15s)) return false;
  // The shell's parent shows its window.
  shellProcessId_ = readNumber(folder_.filePath(QStringLiteral("shell.pid")));
  windowProcessId_ = readNumber(folder_.filePath(QStringLiteral("terminal.pid")));
  return shellProcessId_ > 0 && windowProcessId_ > 0;
}

bool TerminalWindow::click(int row, int column, int times) {
  QProcess search;
  // Qt programs have windows that are never shown (xterm's first is its own).
  const QStringList shown = program_ == Program::xterm ? QStringList() : QStringList{QStringLiteral("--onlyvisible")};
  search.start(QStringLiteral("xdotool"),
               QStringList{QStringLiteral("search")} + shown + QStringList{QStringLiteral("--pid"), QString::number(processId())});
  if (!search.waitForFinished(5000)) return false;
  const QString window = QString::fromUtf8(search.readAllStandardOutput()).section(u'\n', 0, 0).trimmed();
  if (window.isEmpty()) return false;
  const CellGrid grid = cellGrid(program_);
  const int x = int(grid.left + (column + 0.5) * grid.width);
  const int y = int(grid.top + (row + 0.5) * grid.height);
  return TestKeyboard::run({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x),
                            QString::number(y), QStringLiteral("click"), QStringLiteral("--repeat"),
                            QString::number(times), QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
}

bool TerminalWindow::typeAtPrompt(const QString& text) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (!TestKeyboard::run({QStringLiteral("key"), QStringLiteral("ctrl+e"), QStringLiteral("ctrl+u")}) ||
        !TestKeyboard::run({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("10"), text})) {
      return false;
    }
    if (commandLine() == text) return true;
  }
  return false;
}

std::optional<QString> TerminalWindow::commandLine() {
  QFile line(folder_.filePath(QStringLiteral("line")));
  line.remove();
  if (!TestKeyboard::run({QStringLiteral("key"), QStringLiteral("ctrl+x"), QStringLiteral("ctrl+l")})) {
    return std::nullopt;
  }
  if (!waitUntil([&] { return line.exists(); }, 5s) || !line.open(QIODevice::ReadOnly)) return std::nullopt;
  return QString::fromUtf8(line.readAll());
}

bool TerminalWindow::startLineReader() {
  if (!TestKeyboard::run({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("10"), QStringLiteral("reader\n")})) {
    return false;
  }
  return waitUntil([this] { return lineReaderRuns(); });
}

bool TerminalWindow::lineReaderRuns() const {
  QFile pidFile(folder_.filePath(QStringLiteral("reader.pid")));
  if (!pidFile.open(QIODevice::ReadOnly)) return false;
  const qint64 pid = pidFile.readAll().trimmed().toLongLong();
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (pid <= 0 || !stat.open(QIODevice::ReadOnly)) return false;
  // "<pid> (<name>) <state> ...": an ended process not yet reaped is a zombie (Z).
  const QByteArray fields = stat.readAll();
  return fields.mid(fields.lastIndexOf(')') + 2, 1) != "Z";
}

QString TerminalWindow::linesRead() const {
  QFile read(folder_.filePath(QStringLiteral("read")));
  return read.open(QIODevice::ReadOnly) ? QString::fromUtf8(read.readAll()) : QString();
}
