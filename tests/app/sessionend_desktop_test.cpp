// The X server ends under the running program, as at the end of a session
// without a session manager: the program ends as an X client does, never with
// a crash that its next start would report.
#include "awaittask.h"
#include "privatedisplay.h"
#include "testenvironment.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SessionEnd, TheProgramEndsWithoutACrashWhenTheDisplayGoesAway) {
  REQUIRE_TEST_DESKTOP();
  // Several threads of the program hold connections to the display, and each
  // learns of its end at about the same moment: a race, tried several times.
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE(round);
    PrivateDisplay display;
    ASSERT_FALSE(display.name.isEmpty());
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("run"));
    QFile::setPermissions(home.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("DISPLAY"), display.name);
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run")));
    environment.insert(QStringLiteral("VELTRINE_SERVICE_ORIGIN"), QStringLiteral("http://127.0.0.1:9"));
    QProcess program;
    program.setProcessEnvironment(environment);
    // Its log says where it stood if it never shows.
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(VELTRINE_PROGRAM_PATH), {});
    ASSERT_TRUE(program.waitForStarted(5000));
    // Up, with every connection open: its main window shows (slowly under a
    // sanitizer on a busy machine).
    const auto windowShown = [&] {
      QProcess search;
      QProcessEnvironment onDisplay = QProcessEnvironment::systemEnvironment();
      onDisplay.insert(QStringLiteral("DISPLAY"), display.name);
      search.setProcessEnvironment(onDisplay);
      search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                               QStringLiteral("--pid"), QString::number(program.processId())});
      return search.waitForFinished(5000) && search.exitCode() == 0;
    };
    ASSERT_TRUE(waitUntil(windowShown, std::chrono::seconds(60)));

    display.server.terminate();
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    const QDir markers(home.filePath(QStringLiteral("run/vorlix.voice-input/voice_input_crash_markers")));
    EXPECT_TRUE(markers.entryList(QDir::Files).isEmpty()) << markers.entryList(QDir::Files).join(u' ').toStdString();
  }
}

}  // namespace
