#pragma once

#include "platform/accessibleelement.h"

#include <QCoroTask>
#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QHash>
#include <QString>
#include <QVariantList>

#include <chrono>
#include <optional>

struct _AtspiAccessible;

// Where an object lives on the accessibility bus: the bus name of its
// application and its object path.
struct AtspiObjectPath {
  QString service;
  QString path;

  // The address of an object libatspi handed out.
  static AtspiObjectPath of(_AtspiAccessible* accessible);
  bool isValid() const { return !service.isEmpty() && !path.isEmpty(); }
  friend bool operator==(const AtspiObjectPath&, const AtspiObjectPath&) = default;
};

// The answer to one call: a result code (AXError) and, with success, the
// reply's arguments.
struct AtspiReply {
  qint32 error = AXError::success;
  QVariantList arguments;

  // The first argument as a number or a Boolean (0 / false when absent).
  int firstInt() const { return arguments.isEmpty() ? 0 : arguments.constFirst().toInt(); }
  bool firstBool() const { return !arguments.isEmpty() && arguments.constFirst().toBool(); }
};

// A connection of our own to the accessibility bus, whose answers arrive on
// a later turn of the event loop instead of being waited for. libatspi's
// calls hold the calling thread until the application answers or the
// time-out passes, and some applications never answer some requests (GTK 4
// applies AddSelection but never replies to it): one such call on the main
// thread would hold up the next hotkey press. The calls of this connection
// reach each application in the order they were sent. Main thread only.
class AtspiConnection {
 public:
  static AtspiConnection& shared();

  // The accessibility bus libatspi uses: the address named in the
  // environment, else the one the session's bus launcher hands out.
  static std::optional<QString> busAddress();

  // Finds the bus and connects, once (later calls answer what the first
  // found). Done at start-up, so that no call while recording waits for it.
  bool connect();

  // Sends a call without waiting; answer() waits for its reply. Without a
  // bus the call has failed already.
  QDBusPendingCall send(const AtspiObjectPath& object, const QString& interface, const QString& method,
                        const QVariantList& arguments, std::chrono::milliseconds timeout);
  // Sends a call and waits for its reply.
  QCoro::Task<AtspiReply> call(AtspiObjectPath object, QString interface, QString method, QVariantList arguments,
                               std::chrono::milliseconds timeout);
  // A property's value, as the reply's only argument.
  QCoro::Task<AtspiReply> property(AtspiObjectPath object, QString interface, QString name,
                                   std::chrono::milliseconds timeout);

  // Whether the application at bus name `service` answers at all within
  // `timeout`, waited for on the calling thread: a question its bus library
  // answers without the toolkit. libatspi waits for a stopped application
  // up to its time-out on every call, and some of its functions make more
  // than one: a step asks this first, and asks nothing more when it fails.
  // An application that let the question go unanswered for a quarter second
  // or more is taken as silent, without asking, for the next two seconds:
  // the other steps of the same press would each wait out their whole time
  // for it too.
  bool answers(const QString& service, std::chrono::milliseconds timeout);
  // A question left unanswered for less than this proves nothing.
  static constexpr std::chrono::milliseconds silenceShownAfter{250};
  // Takes the application at `service` as silent, as above, after it
  // answered the ping but not the questions that followed in their time
  // (its bus library answers on a thread of its own, its toolkit hangs).
  void takeAsSilent(const QString& service);

  // The reply to a call sent earlier. No bus is apiDisabled, no answer in
  // time cannotComplete, and the other errors as libatspi's would map.
  static QCoro::Task<AtspiReply> answer(QDBusPendingCall pending);

 private:
  AtspiConnection() = default;

  std::optional<QDBusConnection> connection_;
  bool tried_ = false;
  // Until when each application that did not answer is taken as silent.
  QHash<QString, std::chrono::steady_clock::time_point> silentUntil_;
};
