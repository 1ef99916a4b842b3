// The X error trap catches and reports the errors of the requests made while it is open, also one
// still on its way when it closes; every other error goes on to the handler installed before.
#include "platform/x11/x11errortrap.h"
#include "testenvironment.h"
#include "xclient.h"
#include <gtest/gtest.h>

namespace {

constexpr int badWindow = 3, badAtom = 5;

TEST(X11ErrorTrap, ReportsTheFirstErrorOfItsRequestsAlsoOneStillOnItsWayWhenItCloses) {
  REQUIRE_TEST_DESKTOP();
  XClient::Connection connection;
  ASSERT_TRUE(connection.display);
  XClient::ErrorCounter handler;
  {
    X11ErrorTrap trap(connection.display);
    EXPECT_EQ(trap.sync(), 0);
    connection.sendBadWindowRequest();
    connection.sendBadAtomRequest();
    EXPECT_EQ(trap.sync(), badWindow);
  }
  {
    X11ErrorTrap trap(connection.display);
    connection.sendBadAtomRequest();  // no round trip before the trap closes
  }
  connection.sync();
  EXPECT_EQ(handler.count(), 0);
  connection.sendBadWindowRequest();  // closed: the handler gets the next error
  connection.sync();
  EXPECT_EQ(handler.count(), 1);
}

TEST(X11ErrorTrap, NestedTrapsEachKeepTheirOwnDisplaysErrors) {
  REQUIRE_TEST_DESKTOP();
  XClient::Connection first, second, untrapped;
  ASSERT_TRUE(first.display && second.display && untrapped.display);
  XClient::ErrorCounter handler;
  {
    X11ErrorTrap outer(first.display);
    {
      X11ErrorTrap inner(second.display);
      first.sendBadAtomRequest();
      second.sendBadWindowRequest();
      untrapped.sendBadWindowRequest();
      untrapped.sync();
      EXPECT_EQ(handler.count(), 1);
      EXPECT_EQ(inner.sync(), badWindow);
    }
    second.sendBadWindowRequest();  // the inner trap closed
    second.sync();
    EXPECT_EQ(handler.count(), 2);
    EXPECT_EQ(outer.sync(), badAtom);
  }
  EXPECT_EQ(handler.count(), 2);
}

}  // namespace
