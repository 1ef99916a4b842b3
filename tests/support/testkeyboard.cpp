#include "testkeyboard.h"

#include <QProcess>

namespace TestKeyboard {

bool run(const QStringList& arguments) {
  QProcess xdotool;
  xdotool.setProcessChannelMode(QProcess::ForwardedChannels);
  xdotool.start(QStringLiteral("xdotool"), arguments);
  return xdotool.waitForFinished(5000) && xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

}  // namespace TestKeyboard
