#include "service/apiclient.h"

#include "core/appinfo.h"
#include "core/clock.h"
#include "core/httpclient.h"
#include "localization/languagemanager.h"
#include "openclaw/openclawmanager.h"
#include "service/authstore.h"
#include "service/multipartbody.h"


namespace {

QString endpoint(const char* path) { return APIClient::baseURL() + QLatin1String(path); }

QString itemURL(const char* collection, const QString& id, const char* suffix = "") {
  // "." and ".." survive percent-encoding (they are unreserved) and would move
  // the request to another path once the URL is resolved.
  if (id.isEmpty() || id == QLatin1String(".") || id == QLatin1String("..")) return {};
  return endpoint(collection) + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(id)) +
         QLatin1String(suffix);
}

std::optional<APIErrorResponse> decodeErrorBody(const QByteArray& body) {
  try {
    return APIErrorResponse::fromJson(parseJsonDocument(body));
  } catch (const JsonDecodeError&) {
    return std::nullopt;
  }
}

// Why no request can be built while the configured origin is refused.
TransportError refusedOrigin(const QString& url) {
  const QString configured = AppInfo::configuredServiceOrigin();
  const QUrl origin(configured, QUrl::StrictMode);
  if (origin.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0 && !origin.host().isEmpty() &&
      !AppInfo::isLoopbackHost(origin.host())) {
    return TransportError::insecureOrigin(configured);
  }
  return TransportError::badURL(url);
}

}  // namespace

void apiclient_detail::throwUnlessSuccess(const APIClient::Answer& answer) {
  const int status = answer.status;
  const QByteArray& body = answer.body;
  if (status == 401) throw APIError::unauthorized();
  if (status == 403) {
    const std::optional<APIErrorResponse> response = decodeErrorBody(body);
    if (response && response->code == QLatin1String("USER_BANNED")) throw APIError::userBanned();
  }
  if (status >= 200 && status <= 299) {
    if (answer.bodyTooLarge) {
      throw APIError::decodingError(
          QStringLiteral("the answer is longer than %1 bytes and was not read").arg(APIClient::kMaxAnswerBytes));
    }
    return;
  }
  std::optional<APIErrorResponse> response = decodeErrorBody(body);
  if (!response) throw APIError::httpError(status, QStringLiteral("Unknown error"), std::nullopt);
  const QString message = response->message;
  throw APIError::httpError(status, message, std::move(response));
}

APIClient& APIClient::shared() {
  static APIClient* instance = new APIClient();
  return *instance;
}

const QString& APIClient::baseURL() {
  static const QString url = [] {
    const std::optional<QUrl> origin = AppInfo::serviceOrigin();
    if (!origin) return QString();
    return origin->toString(QUrl::FullyEncoded) + QStringLiteral("/veltrine/api/v1");
  }();
  return url;
}

#define FIXED_ENDPOINT(function, path)          \
  const QString& APIClient::function() {        \
    static const QString url = endpoint(path);  \
    return url;                                 \
  }
FIXED_ENDPOINT(sendCodeURL, "/auth/send-code")
FIXED_ENDPOINT(verifyURL, "/auth/verify")
FIXED_ENDPOINT(verifyInviteURL, "/auth/verify-invite")
FIXED_ENDPOINT(inviteCodesURL, "/auth/invite-codes")
FIXED_ENDPOINT(audioProcessURL, "/audio/process")
FIXED_ENDPOINT(startupConfigURL, "/config/startup")
FIXED_ENDPOINT(planURL, "/config/plan")
FIXED_ENDPOINT(recordingConfigURL, "/config/recording")
FIXED_ENDPOINT(hotwordsURL, "/hotwords")
FIXED_ENDPOINT(personasURL, "/personas")
FIXED_ENDPOINT(deactivateAllURL, "/personas/deactivate-all")
FIXED_ENDPOINT(logsReportURL, "/logs/report")
FIXED_ENDPOINT(agreementsURL, "/agreements")
#undef FIXED_ENDPOINT

QString APIClient::hotwordURL(const QString& id) { return itemURL("/hotwords", id); }
QString APIClient::personaURL(const QString& id) { return itemURL("/personas", id); }
QString APIClient::personaActivateURL(const QString& id) { return itemURL("/personas", id, "/activate"); }

APIRequest APIClient::buildRequest(const QString& url, const QByteArray& method) const {
  const QUrl parsed(url, QUrl::StrictMode);
  if (url.isEmpty() || !parsed.isValid() || parsed.isRelative() || parsed.host().isEmpty()) {
    if (baseURL().isEmpty()) throw refusedOrigin(url);
    throw TransportError::badURL(url);
  }
  APIRequest request;
  request.url = parsed;
  request.method = method;
  // Read at build time, so a request built after sign-out carries no token and
  // one built after a language switch asks for the new language.
  if (const std::optional<QString> token = AuthStore::shared().token()) {
    request.setHeader("Authorization", "Bearer " + token->toUtf8());
  }
  if (const QString apiKey = AppInfo::apiKey(); !apiKey.isEmpty()) request.setHeader("X-API-Key", apiKey.toUtf8());
  request.setHeader("X-App-Variant", "standard");
  // A contract with the service: it tells this client family by this value.
  request.setHeader("X-Client-Platform", "macos_standard");
  request.setHeader("X-Accept-Language", rawValue(LanguageManager::shared().current()).toUtf8());
  return request;
}

QCoro::Task<APIClient::Answer> APIClient::exchange(APIRequest request) {
  HttpConnection::Request http;
  http.url = request.url;
  http.method = request.method;
  http.headers = request.headers;
  http.body = request.body;
  // A body-less POST still says "Content-Length: 0" (servers may refuse a
  // POST without a length: cpp-httplib answers 400), but carries no body and
  // no Content-Type.
  if (!http.body && (request.method == "POST" || request.method == "PUT")) http.body = QByteArray();
  // Counted from the last progress, like an idle time-out.
  http.idleTimeout = Clock::scaled(request.timeout);
  http.bodyLimit = kMaxAnswerBytes;

  HttpClient::Answer answer;
  try {
    answer = co_await HttpClient::fetch(std::move(http), HttpClient::Redirects::sameOrigin);
  } catch (const HttpFailure& failure) {
    if (failure.kind() == HttpFailure::Kind::badResponse) {
      throw APIError::networkError(QStringLiteral("bad server response: ") + failure.detail());
    }
    throw TransportError::from(failure);
  }
  co_return Answer{answer.status, std::move(answer.body), answer.bodyTooLarge};
}

QCoro::Task<HotWordListResponse> APIClient::fetchHotWords() {
  co_return co_await send<HotWordListResponse>(buildRequest(hotwordsURL(), "GET"));
}

QCoro::Task<void> APIClient::deleteHotWord(QString id) {
  // The message is read (a 2xx without one fails) and dropped.
  co_await send<MessageResponse>(buildRequest(hotwordURL(id), "DELETE"));
}

QCoro::Task<AuthResponse> APIClient::verifyCode(QString email, QString code) {
  // The body is made before the co_await: GCC 12 frees an aggregate made of
  // the parameters inside the co_await expression too early.
  const LoginRequest body{email, code};
  co_return co_await post<AuthResponse>(verifyURL(), body);
}

QCoro::Task<MyInviteCodesResponse> APIClient::fetchInviteCodes() {
  co_return co_await send<MyInviteCodesResponse>(buildRequest(inviteCodesURL(), "GET"));
}

QCoro::Task<AppStartupConfig> APIClient::fetchStartupConfig() {
  // The start-up configuration is the same for everyone: never send the token.
  APIRequest request = buildRequest(startupConfigURL(), "GET");
  request.removeHeader("Authorization");
  co_return co_await send<AppStartupConfig>(std::move(request));
}

QCoro::Task<UserPlanInfo> APIClient::fetchUserPlanInfo() {
  co_return co_await send<UserPlanInfo>(buildRequest(planURL(), "GET"));
}

QCoro::Task<RecordingConfigResponse> APIClient::fetchRecordingConfig() {
  co_return co_await send<RecordingConfigResponse>(buildRequest(recordingConfigURL(), "GET"));
}

QCoro::Task<PersonaListResponse> APIClient::fetchPersonas() {
  co_return co_await send<PersonaListResponse>(buildRequest(personasURL(), "GET"));
}

QCoro::Task<PersonaItem> APIClient::createPersona(QString name, std::optional<QString> description,
                                                  PersonaPrompts prompts) {
  const PersonaCreateBody body{name, description, prompts};  // before the co_await, as in verifyCode
  co_return co_await post<PersonaItem>(personasURL(), body);
}

QCoro::Task<void> APIClient::deletePersona(QString id) {
  co_await send<MessageResponse>(buildRequest(personaURL(id), "DELETE"));
}

QCoro::Task<PersonaItem> APIClient::activatePersona(QString id) {
  co_return co_await send<PersonaItem>(buildRequest(personaActivateURL(id), "POST"));
}

QCoro::Task<void> APIClient::deactivateAllPersonas() {
  co_await send<MessageResponse>(buildRequest(deactivateAllURL(), "POST"));
}

QCoro::Task<AudioProcessResponse> APIClient::processAudio(QString audioPath, QString operation,
                                                          std::optional<QString> selectedText,
                                                          std::optional<QStringList> clipboardHistory) {
  APIRequest request = buildRequest(audioProcessURL(), "POST");
  const QString boundary = newMultipartBoundary();
  request.setHeader("Content-Type", "multipart/form-data; boundary=" + boundary.toUtf8());
  // Whatever the bridge last published; the upload does not ask it to check.
  const std::optional<QString> agentStatus = openClawStatusFormValue(OpenClawManager::shared().status());
  request.body = buildMultipartBody(audioPath, operation, selectedText, clipboardHistory, agentStatus, boundary);
  co_return co_await send<AudioProcessResponse>(std::move(request));
}
