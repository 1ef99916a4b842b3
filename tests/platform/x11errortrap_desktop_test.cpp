// The X error trap catches and reports the errors of the requests made while it is open, also one
// still on its way when it closes; every other error goes on to the handler installed before.
#include "platform/x11/x11errortrap.h"
#include "testenvironment.h"
#include "xclient.h"
#include <gtest/gtest.h>

#include <future>
#include <thread>

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

// The keyboard tap opens traps on its own thread while the main thread opens
// others: each thread's trap catches its own display's errors, however their
// lives overlap, and the handler from before is back once the last closes.
TEST(X11ErrorTrap, TrapsOfTwoThreadsCatchTheirOwnErrorsWhateverCloses) {
  REQUIRE_TEST_DESKTOP();
  XClient::Connection mainDisplay, threadDisplay;
  ASSERT_TRUE(mainDisplay.display && threadDisplay.display);
  XClient::ErrorCounter handler;
  std::promise<void> threadTrapOpen, mainTrapClosed;
  std::promise<int> threadError;
  auto mainTrap = std::make_unique<X11ErrorTrap>(mainDisplay.display);
  std::thread other([&] {
    X11ErrorTrap trap(threadDisplay.display);
    threadTrapOpen.set_value();
    mainTrapClosed.get_future().wait();
    threadDisplay.sendBadWindowRequest();
    threadError.set_value(trap.sync());
  });
  threadTrapOpen.get_future().wait();
  mainDisplay.sendBadAtomRequest();
  EXPECT_EQ(mainTrap->sync(), badAtom);
  mainTrap.reset();
  mainTrapClosed.set_value();
  EXPECT_EQ(threadError.get_future().get(), badWindow);
  other.join();
  EXPECT_EQ(handler.count(), 0);

  mainDisplay.sendBadWindowRequest();
  mainDisplay.sync();
  EXPECT_EQ(handler.count(), 1);
}

}  // namespace
