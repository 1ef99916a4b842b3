#include "pipeline/commandkeys.h"

#include "core/logging.h"
#include "core/tracelog.h"

#include <QSet>

namespace {

// Terminal emulators whose clipboard shortcuts are Control+Shift+C and
// Control+Shift+V (window class or instance, lower case).
const QSet<QString>& shiftedTerminals() {
  static const QSet<QString> names{
      QStringLiteral("alacritty"),         QStringLiteral("blackbox"),
      QStringLiteral("com.gexperts.tilix"), QStringLiteral("com.mitchellh.ghostty"),
      QStringLiteral("com.raggesilver.blackbox"), QStringLiteral("contour"),
      QStringLiteral("cool-retro-term"),   QStringLiteral("deepin-terminal"),
      QStringLiteral("foot"),              QStringLiteral("footclient"),
      QStringLiteral("ghostty"),           QStringLiteral("gnome-terminal"),
      QStringLiteral("gnome-terminal-server"), QStringLiteral("guake"),
      QStringLiteral("hyper"),             QStringLiteral("io.elementary.terminal"),
      QStringLiteral("kgx"),               QStringLiteral("kitty"),
      QStringLiteral("konsole"),           QStringLiteral("lilyterm"),
      QStringLiteral("lxterminal"),        QStringLiteral("mate-terminal"),
      QStringLiteral("org.gnome.console"), QStringLiteral("org.gnome.ptyxis"),
      QStringLiteral("org.gnome.terminal"), QStringLiteral("org.kde.konsole"),
      QStringLiteral("org.wezfurlong.wezterm"), QStringLiteral("ptyxis"),
      QStringLiteral("qterminal"),         QStringLiteral("rio"),
      QStringLiteral("roxterm"),           QStringLiteral("sakura"),
      QStringLiteral("st"),                QStringLiteral("st-256color"),
      QStringLiteral("tabby"),             QStringLiteral("terminator"),
      QStringLiteral("terminix"),          QStringLiteral("termite"),
      QStringLiteral("terminology"),       QStringLiteral("tilda"),
      QStringLiteral("tilix"),             QStringLiteral("wezterm"),
      QStringLiteral("x-terminal-emulator"), QStringLiteral("xfce4-terminal"),
      QStringLiteral("yakuake"),
  };
  return names;
}

// Terminal emulators that turn Control+Shift+C into the interrupt character
// like Control+C (and Control+Shift+V into a literal ^V that eats the next
// key), and have no clipboard chord at all.
const QSet<QString>& primarySelectionTerminals() {
  static const QSet<QString> names{
      QStringLiteral("aterm"), QStringLiteral("eterm"),        QStringLiteral("rxvt"),
      QStringLiteral("rxvt-unicode"), QStringLiteral("urxvt"), QStringLiteral("uxterm"),
      QStringLiteral("xterm"),
  };
  return names;
}

bool matches(const QSet<QString>& names, const RunningApplication& app) {
  return names.contains(app.windowClass.toLower()) || names.contains(app.windowInstance.toLower());
}

QString describe(const std::optional<RunningApplication>& app) {
  return app ? QString::number(app->pid) : QStringLiteral("nil");
}

// Whether keys for process `target` may go out now: it owns the focused window
// (or no process is named).
bool targetInFront(const QString& command, std::optional<qint32> target, const std::optional<RunningApplication>& front) {
  if (!target || (front && front->pid == *target)) return true;
  qCInfo(lcSelection, "%s not sent: pid=%d does not own the focused window (front pid=%s)", qUtf8Printable(command),
         *target, qUtf8Printable(describe(front)));
  trace(command + QStringLiteral(" not sent: pid=") + QString::number(*target) +
        QStringLiteral(" does not own the focused window, front pid=") + describe(front));
  return false;
}

bool postCommandKey(KeyChord::Key key, std::optional<qint32> target) {
  const QString command = key == KeyChord::Key::v ? QStringLiteral("Cmd+V") : QStringLiteral("Cmd+C");
  const std::optional<RunningApplication> front = FrontApplication::current().frontmost();
  if (!targetInFront(command, target, front)) return false;
  const std::optional<KeyChord> chord = commandChord(key, front);
  if (!chord) {
    const QString name = front ? front->windowClass : QString();
    qCInfo(lcSelection, "%s not sent: %s has no clipboard shortcut", qUtf8Printable(command), qUtf8Printable(name));
    trace(command + QStringLiteral(" not sent: no clipboard shortcut in ") + name);
    return false;
  }
  return SyntheticKeyboard::current().typeChord(*chord);
}

}  // namespace

std::optional<KeyChord> commandChord(KeyChord::Key key, const std::optional<RunningApplication>& app) {
  if (pastesPrimarySelection(app)) {
    if (key == KeyChord::Key::v) return KeyChord::shiftInsert();
    return std::nullopt;
  }
  if (app && matches(shiftedTerminals(), *app)) return KeyChord{key, true};
  if (key == KeyChord::Key::c) return KeyChord::controlInsert();
  return KeyChord::shiftInsert();
}

bool isEmacs(const std::optional<RunningApplication>& app) {
  static const QSet<QString> names{QStringLiteral("emacs")};
  return app && matches(names, *app);
}

bool pastesBesideSelection(const std::optional<RunningApplication>& app) {
  return app && (app->tk || isEmacs(app) || isXawText(app));
}

bool isGvim(const std::optional<RunningApplication>& app) {
  static const QSet<QString> names{QStringLiteral("gvim")};
  return app && matches(names, *app);
}

bool isXawText(const std::optional<RunningApplication>& app) {
  // The widget leaves no mark on the window: the programs are known by name.
  static const QSet<QString> names{QStringLiteral("xedit"), QStringLiteral("xmh")};
  return app && matches(names, *app);
}

bool pastesPrimarySelection(const std::optional<RunningApplication>& app) {
  return isPrimarySelectionTerminal(app) || isGvim(app) || isXawText(app);
}

bool retakesPrimaryWhileSelecting(const std::optional<RunningApplication>& app) {
  return isEmacs(app) || isGvim(app);
}

bool postChord(const KeyChord& chord, qint32 pid) {
  if (!targetInFront(QStringLiteral("Keys"), pid, FrontApplication::current().frontmost())) return false;
  return SyntheticKeyboard::current().typeChord(chord);
}

bool isPrimarySelectionTerminal(const std::optional<RunningApplication>& app) {
  return app && matches(primarySelectionTerminals(), *app);
}

bool isTerminalEmulator(const std::optional<RunningApplication>& app) {
  return isPrimarySelectionTerminal(app) || (app && matches(shiftedTerminals(), *app));
}

bool postCommandV(std::optional<qint32> pid) {
  if (!pid) {
    if (const auto front = FrontApplication::current().frontmost()) pid = front->pid;
  }
  return postCommandKey(KeyChord::Key::v, pid);
}

bool postCommandC(std::optional<qint32> pid) { return postCommandKey(KeyChord::Key::c, pid); }
