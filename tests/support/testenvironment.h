#pragma once

#include <QString>

// Every test process runs in a private, empty home: HOME, the XDG folders and
// the runtime folder point into a temporary folder made for the process and
// removed at its end, so no test reads or writes the real user's files and no
// test sees another test's files.
namespace TestEnvironment {

// Called by the test main before anything else.
void setUp();
void tearDown();

// The temporary folder that holds this process's home.
QString root();

// Whether the test desktop (display, tray, session bus, sound server) is
// there, and whether its absence fails a test instead of skipping it (the
// test script says so: a broken desktop never passes unnoticed).
bool desktopAvailable();
bool desktopRequired();

}  // namespace TestEnvironment

// Skips the test (or, under the test script, fails it) without the desktop.
#define REQUIRE_TEST_DESKTOP()                                                    \
  do {                                                                            \
    if (!TestEnvironment::desktopAvailable()) {                                   \
      if (TestEnvironment::desktopRequired()) FAIL() << "test desktop missing";    \
      GTEST_SKIP() << "needs the test desktop (run scripts/test)";                 \
    }                                                                             \
  } while (false)
