#pragma once

#include <QProcess>
#include <QStringList>

// The test desktop's keyboard, typed on as a user would: through XTEST, by
// xdotool (so the tests need no X headers of their own). Keys are named as
// X names them ("alt" is Alt_L, "q", "Alt_R", "super").
namespace TestKeyboard {

// Runs one xdotool command line, for example
// {"keydown", "alt", "key", "q", "keyup", "alt"}; false when it failed.
inline bool run(const QStringList& arguments) {
  QProcess xdotool;
  xdotool.setProcessChannelMode(QProcess::ForwardedChannels);
  xdotool.start(QStringLiteral("xdotool"), arguments);
  return xdotool.waitForFinished(5000) && xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

// Selects `length` characters from `start` of the text the focus is in, with
// the keys every editor knows: Control+Home, the arrow keys, Shift.
inline bool selectWithKeys(int start, int length) {
  QStringList keys{QStringLiteral("key"), QStringLiteral("ctrl+Home")};
  for (int i = 0; i < start; ++i) keys << QStringLiteral("Right");
  for (int i = 0; i < length; ++i) keys << QStringLiteral("shift+Right");
  return run(keys);
}

}  // namespace TestKeyboard
