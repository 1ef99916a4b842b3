#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

// Runs `statement` (the rest of a test) in a process of its own, started anew
// from this test executable: objects made once per process (Qt's media
// devices and their sound server connection) start fresh there, so the test
// passes however the executable is run. Failures inside are reported with the
// child's output.
#define IN_FRESH_PROCESS(...)                                                              \
  do {                                                                                     \
    GTEST_FLAG_SET(death_test_style, "threadsafe");                                        \
    EXPECT_EXIT(                                                                           \
        {                                                                                  \
          __VA_ARGS__;                                                                     \
          std::fflush(stdout);                                                             \
          std::fflush(stderr);                                                             \
          std::_Exit(::testing::Test::HasFailure() ? 1 : 0);                               \
        },                                                                                 \
        ::testing::ExitedWithCode(0), "");                                                 \
  } while (false)
