#pragma once

#include "openclaw/gatewayagentevent.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

// Sends one instruction to the local OpenClaw gateway's chat-completions
// endpoint and turns the streamed answer into events as it arrives: each piece
// at once (nothing is batched, the answer is never held whole first), then the
// finished text. Main thread only; each call is a stream of its own.
class OpenClawGatewayClient : public QObject {
  Q_OBJECT

 public:
  using EventHandler = std::function<void(const GatewayAgentEvent&)>;

  static OpenClawGatewayClient& shared();

  // The gateway's address, http://127.0.0.1:18789 (tests move it).
  QUrl baseURL() const { return baseURL_; }
  void setBaseURL(const QUrl& url) { baseURL_ = url; }

  // The conversation the gateway keeps for our instructions.
  static QString sessionKey() { return QStringLiteral("voiceinput:main"); }

  // Posts `message` with `token` as the bearer secret and hands each event to
  // `onEvent`, in order, on the main thread, as long as `receiver` lives (the
  // receiver is held weakly; events for a gone receiver are dropped). Returns
  // once the answer is complete. Throws GatewayError: httpError for a status
  // other than 200 (no event delivered), transport when no answer arrives, the
  // connection breaks or nothing arrives for 120 seconds, streamError when the
  // stream reports an error (no done event then); events delivered before a
  // failure stay delivered.
  QCoro::Task<void> streamChat(QString message, QString token, QObject* receiver, EventHandler onEvent);

  // The request body: {"model":"openclaw","stream":true,"messages":[{"role":"user","content":message}]}.
  static QByteArray requestBody(const QString& message);

 private:
  OpenClawGatewayClient();

  QUrl baseURL_;
};
