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

// The client reads the service's address once per process, so every test talks to one fake service,
// which each test finds with nothing scripted: a queued answer first, then the route, then the default.
class ScriptedService {
  using Key = std::pair<QByteArray, QByteArray>;

 public:
  static ScriptedService& shared() {
    static ScriptedService* service = new ScriptedService();  // outlives every test
    return *service;
  }
  void reset() {
    std::lock_guard lock(mutex_);
    routes_.clear();
    queues_.clear();
    default_ = ScriptedResponse::json(404, "{}");
    fake_.clearRequests();
  }
  QUrl origin() const { return fake_.origin(); }
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
  QList<RecordedRequest> requests() const { return fake_.requests(); }
  RecordedRequest lastRequest() const { return fake_.lastRequest(); }
  int requestCount() const { return fake_.requestCount(); }
  void clearRequests() { fake_.clearRequests(); }

 private:
  ScriptedService() {
    fake_.setHandler([this](const RecordedRequest& request) {
      std::lock_guard lock(mutex_);
      const Key key{request.method, request.path};
      if (auto queued = queues_.find(key); queued != queues_.end() && !queued->second.isEmpty()) {
        return queued->second.takeFirst();
      }
      const auto routed = routes_.find(key);
      return routed != routes_.end() ? routed->second : default_;
    });
  }

  FakeService fake_;
  std::mutex mutex_;
  std::map<Key, ScriptedResponse> routes_;
  std::map<Key, QList<ScriptedResponse>> queues_;
  ScriptedResponse default_ = ScriptedResponse::json(404, "{}");
};

// Puts back what a test changes: the interface language, the sign-in, the API key and the clock's pace.
class ServiceClientTest : public ::testing::Test {
 protected:
  ServiceClientTest() {
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
  AppLanguage language_ = LanguageManager::shared().current();
  std::optional<QString> token_ = AuthStore::shared().token();
  std::optional<QByteArray> apiKey_ =
      qEnvironmentVariableIsSet("VELTRINE_API_KEY") ? std::optional(qgetenv("VELTRINE_API_KEY")) : std::nullopt;
};

// The exception of type E the task ends with, or nothing when it succeeds.
template <typename E, typename T>
std::optional<E> failureOf(QCoro::Task<T>&& task) {
  try {
    awaitTask(std::move(task));
  } catch (const E& error) {
    return error;
  }
  return std::nullopt;
}
