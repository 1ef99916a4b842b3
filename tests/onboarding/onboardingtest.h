#pragma once

#include "core/clock.h"
#include "core/userdefaults.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/plainbutton.h"
#include "onboarding/agreementview.h"
#include "onboarding/authview.h"
#include "onboarding/authviewmodel.h"
#include "onboarding/completionbadge.h"
#include "onboarding/invitecodeview.h"
#include "onboarding/invitecodeviewmodel.h"
#include "onboarding/keychip.h"
#include "onboarding/languagepicker.h"
#include "onboarding/languagepopover.h"
#include "onboarding/linkbutton.h"
#include "onboarding/onboardingview.h"
#include "pipeline/permissionmanager.h"
#include "theme/neonbutton.h"
#include "pipeline/historystore.h"
#include "pipeline/recordingresultstore.h"
#include "platform/machineinfo.h"
#include "service/authstore.h"

#include "awaittask.h"
#include "fakeaccessibilitytrust.h"
#include "fakemicrophoneaccess.h"
#include "fakeservice.h"
#include "shownpage.h"
#include "testenvironment.h"

#include <QAbstractButton>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>

#include <gmock/gmock.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

// A machine with the platform UUID the test says (none: unreadable), installed for its lifetime.
struct FakeMachine final : MachineInfo {
  explicit FakeMachine(std::optional<QString> uuid = QStringLiteral("4C4C4544-0042-3510-8051-B4C04F4E3732"))
      : uuid(std::move(uuid)) { MachineInfo::install(this); }
  ~FakeMachine() override { MachineInfo::install(nullptr); }
  std::optional<QString> platformUUID() override { return uuid; }
  QStringList diskSerials() override { return {QStringLiteral("  S4EVNX0R123456  ")}; }
  int processorCount() override { return 8; }
  quint64 physicalMemory() override { return 17179869184ULL; }
  std::optional<QString> uuid;
};

// Leaves the shared language, account, result, retention, service address and time speed as found.
class SharedStateGuard {
 public:
  ~SharedStateGuard() {
    LanguageManager::shared().setCurrent(language_);
    HistoryStore::shared().setRetentionPolicy(retention_);
    AuthStore::shared().clearSession();
    AuthStore::shared().setPendingInviteEmail(std::nullopt);
    RecordingResultStore::shared().reset();
    qputenv("VELTRINE_SERVICE_ORIGIN", origin_);
    Clock::setTimeScaleForTesting(1.0);
  }

 private:
  AppLanguage language_ = LanguageManager::shared().current();
  RetentionPolicy retention_ = HistoryStore::shared().retentionPolicy();
  QByteArray origin_ = qgetenv("VELTRINE_SERVICE_ORIGIN");
};

// The texts a user can read under `root` now (a field's placeholder when it is empty).
inline QStringList shownTexts(const QWidget& root) {
  QStringList texts;
  for (const QWidget* w : root.findChildren<QWidget*>()) {
    if (!w->isVisible()) continue;
    if (auto* label = qobject_cast<const QLabel*>(w)) texts << label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) texts << button->text();
    if (auto* field = qobject_cast<const QLineEdit*>(w)) texts << (field->text().isEmpty() ? field->placeholderText() : field->text());
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(w)) texts << edit->toPlainText();
    if (auto* edit = qobject_cast<const QTextEdit*>(w)) texts << edit->toPlainText();
    if (auto* chip = qobject_cast<const KeyChip*>(w)) texts << chip->text();
    if (auto* badge = qobject_cast<const CompletionBadge*>(w)) texts << badge->text();
  }
  return texts;
}

inline void PrintTo(const QWidget& w, std::ostream* os) { *os << w.metaObject()->className(); }

MATCHER_P(Shows, text, "shows \"" + QString(text).toStdString() + "\"") {
  const QStringList texts = shownTexts(arg);
  *result_listener << "it shows: " << texts.join(QStringLiteral(" | ")).toStdString();
  return texts.contains(QString(text));
}

// A click on the middle of `w`; what it posted runs before this returns.
inline void click(QWidget* w) {
  ASSERT_NE(w, nullptr);
  QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
  QCoreApplication::processEvents();
}

inline void typeInto(QWidget* field, const QString& text) { field->setFocus(), QTest::keyClicks(field, text); }

// One fake service per process (the program reads its address once), scripted afresh by each
// test: the queue of the method and path (with its query, then without), else its route, else 404.
class ScriptedService {
 public:
  ScriptedService() : fake_(process()) {
    fake_.clearRequests();
    fake_.setHandler([this](const RecordedRequest& request) { return answer(request); });
    qputenv("VELTRINE_SERVICE_ORIGIN", fake_.origin().toString().toUtf8());
  }
  ~ScriptedService() { fake_.setHandler({}); }  // waits for an answer being chosen
  void route(const QByteArray& method, const QByteArray& path, ScriptedResponse response) {
    std::lock_guard lock(mutex_);
    routes_[{method, path}] = std::move(response);
  }
  void enqueue(const QByteArray& method, const QByteArray& path, ScriptedResponse response) {
    std::lock_guard lock(mutex_);
    queues_[{method, path}].append(std::move(response));
  }
  const FakeService* operator->() const { return &fake_; }  // what reached the socket
 private:
  static FakeService& process() {
    static FakeService* service = new FakeService;  // lives as long as the process
    return *service;
  }
  ScriptedResponse answer(const RecordedRequest& request) {
    std::lock_guard lock(mutex_);
    for (const QByteArray& path : {request.target, request.path}) {  // with its query first
      const auto key = std::make_pair(request.method, path);
      if (auto queued = queues_.find(key); queued != queues_.end() && !queued->second.isEmpty()) return queued->second.takeFirst();
      if (auto routed = routes_.find(key); routed != routes_.end()) return routed->second;
    }
    return ScriptedResponse::json(404, "{}");
  }

  FakeService& fake_;
  std::mutex mutex_;
  std::map<std::pair<QByteArray, QByteArray>, ScriptedResponse> routes_;
  std::map<std::pair<QByteArray, QByteArray>, QList<ScriptedResponse>> queues_;
};

class ServiceTest : public ::testing::Test {
 protected:
  static QByteArray apiPath(const QByteArray& path) { return "/veltrine/api/v1" + path; }
  static QJsonObject bodyOf(const RecordedRequest& request) { return QJsonDocument::fromJson(request.body).object(); }
  SharedStateGuard guard;
  ScriptedService service;
};

inline ScriptedResponse serviceError(int status, const QByteArray& code) {
  return ScriptedResponse::json(status, R"({"code":")" + code + R"(","message":"from the service"})");
}

inline ScriptedResponse delayed(ScriptedResponse answer, int ms = 200) {
  answer.delay = std::chrono::milliseconds(ms);
  return answer;
}

inline std::unique_ptr<OnboardingView> openOnboarding(OnboardingStep step) {
  auto view = std::make_unique<OnboardingView>(PermissionManager::shared(), LanguageManager::shared(),
                                               HistoryStore::shared(), step, QSet<int>{}, [] {});
  view->show();
  return view;
}

// Next can be pressed and says so.
inline bool mayGoOn(const OnboardingView& view) {
  return view.nextButton()->isVisible() && view.nextButton()->isEnabled() &&
         shownTexts(view).contains(currentStrings().onboardingNext);
}
