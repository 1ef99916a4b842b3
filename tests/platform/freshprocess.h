#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

// Runs the statements given (the rest of a test) in a process of its own,
// started anew from this test executable: what is made once per process (Qt's
// media devices and their sound server connection) starts fresh there, so the
// test passes however the executable is run.
#define IN_FRESH_PROCESS(...)                                                                      \
  GTEST_FLAG_SET(death_test_style, "threadsafe");                                                  \
  EXPECT_EXIT({ __VA_ARGS__; std::fflush(nullptr); std::_Exit(::testing::Test::HasFailure()); }, \
              ::testing::ExitedWithCode(0), "")
