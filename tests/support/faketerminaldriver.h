#pragma once

#include "platform/terminaldriver.h"

#include <QCoroTimer>
#include <QList>
#include <QSet>
#include <QString>

#include <chrono>
#include <functional>
#include <utility>

// Terminal windows in memory: records every command with the window it went
// to. Windows get the ids "1", "2", ... unless `nextAnswer` says otherwise;
// close() plays the user closing one. Installed for its lifetime.
class FakeTerminalDriver final : public TerminalDriver {
 public:
  struct Call {
    bool newWindow = false;  // openWindow, else runInWindow
    QString windowId;        // the window it ran in; empty when none opened
    QString command;
  };

  FakeTerminalDriver() { TerminalDriver::install(this); }
  ~FakeTerminalDriver() override { TerminalDriver::install(nullptr); }

  QCoro::Task<std::optional<QString>> openWindow(QString command) override {
    if (latency.count() > 0) co_await QCoro::sleepFor(latency);
    std::optional<QString> answer = nextAnswer ? *std::exchange(nextAnswer, std::nullopt)
                                               : available ? std::optional(QString::number(++lastId_)) : std::nullopt;
    if (answer) windows.insert(*answer);
    calls.append({true, answer.value_or(QString()), command});
    if (answer && onCommand) onCommand(command);
    co_return answer;
  }

  QCoro::Task<bool> runInWindow(QString windowId, QString command) override {
    if (latency.count() > 0) co_await QCoro::sleepFor(latency);
    const bool open = windows.contains(windowId);
    if (open) calls.append({false, windowId, command});
    if (open && onCommand) onCommand(command);
    co_return open;
  }

  QCoro::Task<bool> activateWindow(QString windowId) override {
    const bool open = windows.contains(windowId);
    if (open) activated.append(windowId);
    co_return open;
  }

  void close(const QString& windowId) { windows.remove(windowId); }

  QStringList commands() const {
    QStringList list;
    for (const Call& call : calls) list << call.command;
    return list;
  }

  QList<Call> calls;
  QStringList activated;  // the windows brought to the front, in order
  QSet<QString> windows;
  bool available = true;                  // false: no window can be opened
  std::optional<std::optional<QString>> nextAnswer;  // the next openWindow's answer, whatever it is
  std::chrono::milliseconds latency{0};   // each call suspends this long first
  std::function<void(const QString&)> onCommand;  // called for each command that ran

 private:
  int lastId_ = 0;
};
