#include "terminalwindow.h"

#include "awaittask.h"
#include "testkeyboard.h"

#include <QFile>

using namespace std::chrono_literals;

namespace {

// The "fixed" font's cell (xterm is started with it) and xterm's inner border, in pixels.
constexpr int kCellWidth = 6;
constexpr int kCellHeight = 13;
constexpr int kBorder = 2;

}  // namespace

TerminalWindow::~TerminalWindow() {
  process_.kill();
  process_.waitForFinished(2000);
}

bool TerminalWindow::start(const QString& firstLine) {
  if (!folder_.isValid()) return false;
  // Ctrl+X Ctrl+L writes the command line to a file (renamed into place, so
  // it is never read half written).
  QFile rc(folder_.filePath(QStringLiteral("bashrc")));
  if (!rc.open(QIODevice::WriteOnly)) return false;
  rc.write(QStringLiteral(R"(PS1='$ '
HISTFILE=/dev/null
bind -x '"\C-x\C-l": printf "%s" "$READLINE_LINE" > "%1/line.part"; mv "%1/line.part" "%1/line"'
printf '%s\n' '%2'
: > "%1/ready"
)")
               .arg(folder_.path(), firstLine)
               .toUtf8());
  rc.close();
  process_.setProcessChannelMode(QProcess::ForwardedChannels);
  const QStringList shell{QStringLiteral("bash"), QStringLiteral("--noprofile"), QStringLiteral("--rcfile"), rc.fileName(),
                          QStringLiteral("-i")};
  if (program_ == Program::xterm) {
    process_.start(QStringLiteral("xterm"), QStringList{QStringLiteral("-fn"), QStringLiteral("fixed"),
                                                        QStringLiteral("-geometry"), QStringLiteral("80x12+40+40"),
                                                        QStringLiteral("-e")} + shell);
  } else {  // its own process, not a window of one already running
    process_.start(QStringLiteral("lxterminal"),
                   {QStringLiteral("--no-remote"), QStringLiteral("--command=") + shell.join(u' ')});
  }
  if (!process_.waitForStarted(5000)) return false;
  return waitUntil([this] { return QFile::exists(folder_.filePath(QStringLiteral("ready"))); }, 10s);
}

bool TerminalWindow::click(int row, int column, int times) {
  QProcess search;
  search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--pid"),
                                           QString::number(processId())});
  if (!search.waitForFinished(5000)) return false;
  const QString window = QString::fromUtf8(search.readAllStandardOutput()).section(u'\n', 0, 0).trimmed();
  if (window.isEmpty()) return false;
  const int x = kBorder + column * kCellWidth + kCellWidth / 2;
  const int y = kBorder + row * kCellHeight + kCellHeight / 2;
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
