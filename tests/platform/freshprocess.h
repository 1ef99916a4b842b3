#pragma once

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

// Runs the statements given in a process started anew from this test executable, where what is
// made once per process (Qt's media devices and their sound server) starts fresh.
#define IN_FRESH_PROCESS(...)                                                                      \
  GTEST_FLAG_SET(death_test_style, "threadsafe");                                                  \
  EXPECT_EXIT({ __VA_ARGS__; std::fflush(nullptr); std::_Exit(::testing::Test::HasFailure()); }, \
              ::testing::ExitedWithCode(0), "")
