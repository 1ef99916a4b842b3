#pragma once

#include "testenvironment.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <functional>

// The main of a benchmark program: a private home (so that no benchmark reads
// or writes the user's settings, history or agent), an application object of
// type `App`, then `prepare` (false ends the program without measuring), the
// benchmarks, and `finish`.
template <typename App = QCoreApplication>
int runBenchmarks(int argc, char** argv, const std::function<bool()>& prepare = {},
                  const std::function<void()>& finish = {}) {
  TestEnvironment::setUp();
  int status = 0;
  {
    App app(argc, argv);
    if (!prepare || prepare()) {
      benchmark::Initialize(&argc, argv);
      benchmark::RunSpecifiedBenchmarks();
      if (finish) finish();
      benchmark::Shutdown();
    } else {
      status = 1;
    }
  }
  TestEnvironment::tearDown();
  return status;
}
