#pragma once

#include "awaittask.h"
#include "core/clock.h"
#include "fakeservice.h"
#include "localization/languagemanager.h"
#include "service/authstore.h"

#include <QCoroTask>

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <optional>

// The client works the service's address out once per process, so every test
// of a process talks to one fake service; each test starts with nothing
// scripted and nothing recorded. Answers are found as in FakeService: the
// queue of the method and path, its route, then the default answer.
class ScriptedService {
 public:
  static ScriptedService& shared() {
    static ScriptedService* service = new ScriptedService();  // outlives every test; never torn down
    return *service;
  }

  void reset() {
    {
      std::lock_guard lock(mutex_);
      routes_.clear();
      queues_.clear();
      default_ = ScriptedResponse::json(404, "{}");
    }
    service_.clearRequests();
  }

  QUrl origin() const { return service_.origin(); }
  void route(const QByteArray& method, const QByteArray& path, ScriptedResponse answer) {
    std::lock_guard lock(mutex_);
    routes_[{method, path}] = std::move(answer);
  }
  void enqueue(const QByteArray& method, const QByteArray& path, ScriptedResponse answer) {
    std::lock_guard lock(mutex_);
    queues_[{method, path}].append(std::move(answer));
  }
  void setDefaultResponse(ScriptedResponse answer) {
    std::lock_guard lock(mutex_);
    default_ = std::move(answer);
  }
  QList<RecordedRequest> requests() const { return service_.requests(); }
  RecordedRequest lastRequest() const { return service_.lastRequest(); }
  int requestCount() const { return service_.requestCount(); }
  void clearRequests() { service_.clearRequests(); }

 private:
  ScriptedService() {
    service_.setHandler([this](const RecordedRequest& request) {
      std::lock_guard lock(mutex_);
      const auto key = std::make_pair(request.method, request.path);
      if (auto queued = queues_.find(key); queued != queues_.end() && !queued->second.isEmpty()) {
        return queued->second.takeFirst();
      }
      if (auto routed = routes_.find(key); routed != routes_.end()) return routed->second;
      return default_;
    });
  }

  FakeService service_;
  std::mutex mutex_;
  std::map<std::pair<QByteArray, QByteArray>, ScriptedResponse> routes_;
  std::map<std::pair<QByteArray, QByteArray>, QList<ScriptedResponse>> queues_;
  ScriptedResponse default_ = ScriptedResponse::json(404, "{}");
};

// A test against the scripted service that leaves what it changes as it found
// it: the interface language, the sign-in, the API key and the clock's pace.
class ServiceClientTest : public ::testing::Test {
 protected:
  ServiceClientTest()
      : language_(LanguageManager::shared().current()),
        token_(AuthStore::shared().token()),
        apiKey_(qEnvironmentVariableIsSet("VELTRINE_API_KEY") ? std::optional(qgetenv("VELTRINE_API_KEY"))
                                                              : std::nullopt) {
    service.reset();
    qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8());
  }
  ~ServiceClientTest() override {
    LanguageManager::shared().setCurrent(language_);
    AuthStore::shared().setToken(token_);
    apiKey_ ? qputenv("VELTRINE_API_KEY", *apiKey_) : qunsetenv("VELTRINE_API_KEY");
    Clock::setTimeScaleForTesting(1.0);
  }

  static QByteArray apiPath(const QByteArray& path) { return "/veltrine/api/v1" + path; }

  ScriptedService& service = ScriptedService::shared();

 private:
  AppLanguage language_;
  std::optional<QString> token_;
  std::optional<QByteArray> apiKey_;
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
