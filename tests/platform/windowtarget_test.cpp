#include "platform/windowactivator.h"

#include <gtest/gtest.h>

// Which of the window manager's windows is the one a terminal showed: our title first, else the
// window of the nearest process (the tmux client, then its parents) that shows any - unless it
// shows several, when raising any of them could be the wrong one.
TEST(WindowTarget, TheTitleDecidesFirstThenTheNearestProcessWithOneWindow) {
  const QString ours = QStringLiteral("Veltrine (terminal 3)");
  const struct {
    const char* name;
    QList<ClientWindow> windows;
    WindowTarget target;
    std::optional<quint64> picked;
  } cases[] = {
      {"title, with the emulator's name added",
       {{1, 10, QStringLiteral("mail")}, {2, 20, ours + QStringLiteral(" — Konsole")}, {3, 20, QStringLiteral("htop")}},
       {{10}, ours},
       2},
      {"another window's title only contains the number",
       {{1, 0, QStringLiteral("Veltrine (terminal 31)")}, {2, 0, QStringLiteral("Veltrine (terminal 13)")}},
       {{}, ours},
       std::nullopt},
      {"the client has no window, its parent one",
       {{1, 30, QStringLiteral("desktop shell")}, {2, 20, QStringLiteral("vim")}},
       {{10, 20, 30}, ours},
       2},
      {"one process shows several windows, none titled ours",
       {{1, 20, QStringLiteral("a")}, {2, 20, QStringLiteral("b")}, {3, 30, QStringLiteral("c")}},
       {{10, 20, 30}, ours},
       std::nullopt},
      {"no title known, windows without a process",
       {{1, 0, QString()}, {2, 0, QStringLiteral("x")}},
       {{0, 10}, QString()},
       std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(c.target.pick(c.windows), c.picked) << c.name;
}
