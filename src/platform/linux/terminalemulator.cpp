#include "platform/linux/terminalemulator.h"

#include <QStandardPaths>

QList<TerminalEmulator> TerminalEmulator::candidates() {
  const QStringList dashE{QStringLiteral("-e")};
  const QStringList dashX{QStringLiteral("-x")};
  return {
      {QStringLiteral("x-terminal-emulator"), dashE},
      {QStringLiteral("gnome-terminal"), {QStringLiteral("--")}},
      {QStringLiteral("konsole"), dashE},
      {QStringLiteral("xfce4-terminal"), dashX},
      {QStringLiteral("mate-terminal"), dashX},
      {QStringLiteral("terminator"), dashX},
      {QStringLiteral("kitty"), {}},
      {QStringLiteral("alacritty"), dashE},
      {QStringLiteral("foot"), {}},
      {QStringLiteral("urxvt"), dashE},
      {QStringLiteral("xterm"), dashE},
  };
}

std::optional<TerminalEmulator> TerminalEmulator::find() {
  for (const TerminalEmulator& candidate : candidates()) {
    const QString path = QStandardPaths::findExecutable(candidate.program);
    if (!path.isEmpty()) return TerminalEmulator{path, candidate.runArguments};
  }
  return std::nullopt;
}

QStringList TerminalEmulator::argumentsToRun(const QString& runProgram, const QStringList& arguments) const {
  return runArguments + QStringList{runProgram} + arguments;
}
