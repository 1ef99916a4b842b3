// The main of every test executable: a private home, a QApplication (offscreen
// unless the test runs on the test desktop), then GoogleTest.
#include "testenvironment.h"

#include <QApplication>

#include <gmock/gmock.h>

int main(int argc, char** argv) {
  TestEnvironment::setUp();
  if (!TestEnvironment::desktopAvailable()) qputenv("QT_QPA_PLATFORM", "offscreen");
  int status = 0;
  {
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    status = RUN_ALL_TESTS();
  }
  TestEnvironment::tearDown();
  return status;
}
