#pragma once

#include "service/apierror.h"
#include "service/apirequest.h"
#include "service/audiomodels.h"
#include "service/authmodels.h"
#include "service/basicresponses.h"
#include "service/configmodels.h"
#include "service/hotwordmodels.h"
#include "service/jsoncoding.h"
#include "service/personamodels.h"
#include "service/transporterror.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

// The one client of the Veltrine service. Every operation builds its request
// with the common headers, sends it once and decodes the answer; nothing is
// retried, queued or cached, and the client never signs anyone out itself.
// Each request goes out on a connection of its own and is never sent again
// by the network layer, also when the connection breaks before the answer
// (HttpConnection): a recording is never processed, nor a hotword created,
// twice for one call.
//
// Each operation is a task that either returns the decoded answer or throws:
//  - TransportError when no answer arrived (bad URL, a plain-http origin on
//    another machine, refused, lost, TLS, time-out after 60 s without
//    progress, a redirection to another origin, cancelled);
//  - APIError for an answer it cannot hand back: 401 `unauthorized` (body not
//    read); 403 with code "USER_BANNED" `userBanned`; a 2xx that does not
//    decode (or is longer than kMaxAnswerBytes) `decodingError`; bytes that
//    are not an HTTP answer `networkError`; any other status `httpError` with
//    the body's message and code, or "Unknown error" and no body.
//
// Redirections are followed within the service's origin only, with the
// request's headers. One to another origin fails as a TransportError
// (redirectRefused) and nothing is sent there: following it without the
// credentials would still hand the recording or the user's texts to a
// stranger and take its answer (its 401 would even sign the user out) for
// the service's.
//
// Await the tasks from a coroutine and catch both types (describeError() in
// errordescription.h gives the text to show); never leave a task that can
// throw unawaited. Main thread only.
class APIClient : public QObject {
  Q_OBJECT

 public:
  static APIClient& shared();

  // The longest answer body read. The service's answers are a few kilobytes;
  // a longer one is not read on (a 2xx fails as decodingError, another
  // status as an httpError without a body).
  static constexpr qint64 kMaxAnswerBytes = 16 * 1024 * 1024;

  // Service origin + "/veltrine/api/v1", worked out on first use and kept.
  // Empty when the configured origin is refused: every request then fails
  // with TransportError::Kind::badURL and nothing is sent.
  static const QString& baseURL();

  // Fixed endpoint URLs: the base URL and the path.
  static const QString& sendCodeURL();         // "/auth/send-code"
  static const QString& verifyURL();           // "/auth/verify"
  static const QString& verifyInviteURL();     // "/auth/verify-invite"
  static const QString& inviteCodesURL();      // "/auth/invite-codes"
  static const QString& audioProcessURL();     // "/audio/process"
  static const QString& startupConfigURL();    // "/config/startup"
  static const QString& planURL();             // "/config/plan"
  static const QString& recordingConfigURL();  // "/config/recording"
  static const QString& hotwordsURL();         // "/hotwords"
  static const QString& personasURL();         // "/personas"
  static const QString& deactivateAllURL();    // "/personas/deactivate-all"
  static const QString& logsReportURL();       // "/logs/report"
  static const QString& agreementsURL();       // "/agreements"

  // One item's URL: the id percent-encoded as a single path segment, so no id
  // can reach another path. An id that cannot be a segment (empty, "." or
  // "..") gives an empty text, for which building a request fails with badURL.
  static QString hotwordURL(const QString& id);          // "/hotwords/<id>"
  static QString personaURL(const QString& id);          // "/personas/<id>"
  static QString personaActivateURL(const QString& id);  // "/personas/<id>/activate"

  // A request for an absolute URL with the 60-second time-out and the common
  // headers, read now: "Authorization" (only while signed in), "X-API-Key"
  // (only when one is configured), "X-App-Variant", "X-Client-Platform",
  // "X-Accept-Language" (the interface language). Throws TransportError
  // (badURL) for a text that is not an absolute URL, and (insecureOrigin)
  // while the configured origin is refused for being plain http elsewhere
  // than on this machine.
  APIRequest buildRequest(const QString& url, const QByteArray& method) const;

  // Sends once and decodes the 2xx body as T (T::fromJson).
  template <typename T>
  QCoro::Task<T> send(APIRequest request);

  // The status and body of whatever HTTP answer arrives, without the status
  // mapping: for the requests that carry their own headers and time-out (the
  // log report, the agreement texts). Build the APIRequest by hand: of the
  // service's headers only those you set are sent (the network stack adds its
  // own Host, Connection, User-Agent, Content-Length). Throws TransportError
  // when no answer arrives, APIError (networkError) when what arrives is not
  // HTTP.
  struct Answer {
    int status = 0;
    QByteArray body;
    bool bodyTooLarge = false;  // longer than kMaxAnswerBytes: not read, `body` is empty
  };
  QCoro::Task<Answer> exchange(APIRequest request);

  // JSON POST / PUT of `body` (B::toJson), decoding the answer as R:
  //   const HotWordUpdateBody body{word};  // a local: GCC 12 frees one made inside co_await too early
  //   auto item = co_await APIClient::shared().put<HotWordItem>(APIClient::hotwordURL(id), body);
  template <typename R, typename B>
  QCoro::Task<R> post(QString url, B body);
  template <typename R, typename B>
  QCoro::Task<R> put(QString url, B body);

  // Endpoints.
  QCoro::Task<HotWordListResponse> fetchHotWords();
  QCoro::Task<void> deleteHotWord(QString id);
  QCoro::Task<AuthResponse> verifyCode(QString email, QString code);
  QCoro::Task<MyInviteCodesResponse> fetchInviteCodes();
  // Sent without "Authorization", signed in or not.
  QCoro::Task<AppStartupConfig> fetchStartupConfig();
  QCoro::Task<UserPlanInfo> fetchUserPlanInfo();
  QCoro::Task<RecordingConfigResponse> fetchRecordingConfig();
  QCoro::Task<PersonaListResponse> fetchPersonas();
  QCoro::Task<PersonaItem> createPersona(QString name, std::optional<QString> description, PersonaPrompts prompts);
  QCoro::Task<void> deletePersona(QString id);
  QCoro::Task<PersonaItem> activatePersona(QString id);
  QCoro::Task<void> deactivateAllPersonas();

  // Uploads a recording with its context as a multipart form (see
  // multipartbody.h): the operation ("transcribe", "rewrite" or "agent"), the
  // text selected when the hotkey was pressed, recent clipboard texts, and the
  // local agent's status as last published. Reads the whole file now.
  QCoro::Task<AudioProcessResponse> processAudio(QString audioPath, QString operation,
                                                 std::optional<QString> selectedText,
                                                 std::optional<QStringList> clipboardHistory);

 private:
  APIClient() = default;
};

namespace apiclient_detail {

// The status rules, in their order: 401 before anything else (its body is not
// read), a banned 403, success, then every other status as an HTTP error. A
// body too long to read counts as one that does not decode.
void throwUnlessSuccess(const APIClient::Answer& answer);

template <typename T>
T decodeBody(const QByteArray& body) {
  try {
    return T::fromJson(parseJsonDocument(body));
  } catch (const JsonDecodeError& error) {
    throw APIError::decodingError(error.description());
  }
}

}  // namespace apiclient_detail

template <typename T>
QCoro::Task<T> APIClient::send(APIRequest request) {
  const Answer answer = co_await exchange(std::move(request));
  apiclient_detail::throwUnlessSuccess(answer);
  co_return apiclient_detail::decodeBody<T>(answer.body);
}

template <typename R, typename B>
QCoro::Task<R> APIClient::post(QString url, B body) {
  APIRequest request = buildRequest(url, "POST");
  request.setJsonBody(body.toJson());
  co_return co_await send<R>(std::move(request));
}

template <typename R, typename B>
QCoro::Task<R> APIClient::put(QString url, B body) {
  APIRequest request = buildRequest(url, "PUT");
  request.setJsonBody(body.toJson());
  co_return co_await send<R>(std::move(request));
}
