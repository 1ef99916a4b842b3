#pragma once

#include "awaittask.h"
#include "fakeservice.h"

#include <QCoroTask>

#include <gtest/gtest.h>

#include <optional>

// A fake service on loopback that the client's base URL points at. The base
// URL is worked out once per process, and each test runs in its own process.
class ServiceClientTest : public ::testing::Test {
 protected:
  ServiceClientTest() { qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8()); }

  static QByteArray apiPath(const QByteArray& path) { return "/veltrine/api/v1" + path; }

  FakeService service;
};

// The exception of type E the task ends with, or nothing when it succeeds.
// Any other exception propagates and fails the test.
template <typename E, typename T>
std::optional<E> failureOf(QCoro::Task<T>&& task) {
  try {
    awaitTask(std::move(task));
  } catch (const E& error) {
    return error;
  }
  return std::nullopt;
}
