#include "standinservice.h"

#include "service/jsoncoding.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

#include <httplib.h>

#include <cstdio>
#include <functional>

namespace {

const std::string kApi = "/veltrine/api/v1";
// 16 kHz mono 16-bit after a 44-byte header.
constexpr double kBytesPerSecond = 32000.0;
constexpr int kWavHeaderSize = 44;

using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

void answer(httplib::Response& response, int status, const QJsonObject& body) {
  response.status = status;
  response.set_content(encodeCompactJson(body).toStdString(), "application/json");
}

QJsonObject message(const char* text) { return {{QStringLiteral("message"), QString::fromLatin1(text)}}; }

QJsonValue jsonBody(const httplib::Request& request) {
  return parseJsonDocument(QByteArray::fromStdString(request.body));
}

QString pathId(const httplib::Request& request) { return QString::fromStdString(request.matches[1].str()); }

QString requiredWord(const JsonObjectReader& json) {
  const QString word = json.text("word").trimmed();
  if (word.isEmpty()) throw StandinRefusal(400, QStringLiteral("INVALID_REQUEST"), QStringLiteral("empty word"));
  return word;
}

QJsonObject authAnswer(const QString& token, const QString& email, bool isNewUser, bool requireInvite) {
  return {{QStringLiteral("token"), token},       {QStringLiteral("email"), email},
          {QStringLiteral("tier"), "trial"},      {QStringLiteral("is_new_user"), isNewUser},
          {QStringLiteral("require_invite"), requireInvite}};
}

QJsonArray toJsonArray(const auto& items) {
  QJsonArray array;
  for (const auto& item : items) array.append(item.toJson());
  return array;
}

QString markedResult(const QString& operation, const QString& selected, double seconds) {
  const QString length = QString::number(seconds, 'f', 1);
  if (operation == QLatin1String("rewrite") && !selected.trimmed().isEmpty()) {
    return QStringLiteral("[stand-in] Rewritten: %1").arg(selected);
  }
  if (operation == QLatin1String("rewrite")) return QStringLiteral("[stand-in] Generated text for a %1 s recording.").arg(length);
  if (operation == QLatin1String("agent")) return QStringLiteral("[stand-in] Agent answer for a %1 s recording.").arg(length);
  return QStringLiteral("[stand-in] Dictated text for a %1 s recording.").arg(length);
}

QString agreementText(const std::string& type, const std::string& language) {
  const QString title = type == "privacy" ? QStringLiteral("Privacy Policy") : QStringLiteral("Terms of Service");
  return QStringLiteral("# %1\n\n*Stand-in text (language \"%2\"): the development service has no real %1.*\n\n"
                        "- Recordings are sent to the Veltrine service for processing.\n")
      .arg(title, QString::fromStdString(language));
}

}  // namespace

StandinService::StandinService(StandinStore::Options options)
    : store_(std::move(options)), server_(std::make_unique<httplib::Server>()) {
  installRoutes();
  server_->set_logger([](const httplib::Request& request, const httplib::Response& response) {
    std::fprintf(stderr, "veltrine-standin: %s %s -> %d\n", request.method.c_str(), request.path.c_str(), response.status);
  });
}

StandinService::~StandinService() { stop(); }

int StandinService::bind(int port) {
  // Loopback only: the stand-in accepts anyone's token.
  if (port == 0) return server_->bind_to_any_port("127.0.0.1");
  return server_->bind_to_port("127.0.0.1", port) ? port : -1;
}

bool StandinService::serve() { return server_->listen_after_bind(); }

void StandinService::stop() {
  if (server_->is_running()) server_->stop();
}

void StandinService::setKeepAliveSeconds(int seconds) { server_->set_keep_alive_timeout(seconds); }

void StandinService::installRoutes() {
  httplib::Server& server = *server_;
  StandinStore& store = store_;
  // Every handler answers a refusal or a malformed body with the service's error body.
  const auto guarded = [](Handler handler) -> Handler {
    return [handler](const httplib::Request& request, httplib::Response& response) {
      try {
        handler(request, response);
      } catch (const StandinRefusal& refusal) {
        answer(response, refusal.status, {{QStringLiteral("code"), refusal.code}, {QStringLiteral("message"), refusal.message}});
      } catch (const JsonDecodeError& error) {
        answer(response, 400, {{QStringLiteral("code"), "INVALID_REQUEST"}, {QStringLiteral("message"), error.description()}});
      }
    };
  };
  const auto account = [&store](const httplib::Request& request) {
    return store.emailForAuthorization(QString::fromStdString(request.get_header_value("Authorization")));
  };

  // Sign-in.
  server.Post(kApi + "/auth/send-code", guarded([&store](const auto& request, auto& response) {
    const QString email = JsonObjectReader(jsonBody(request), "SendCodeRequest").text("email");
    std::fprintf(stderr, "veltrine-standin: sign-in code for %s is %s\n", qPrintable(email),
                 qPrintable(store.options().signInCode));
    answer(response, 200, message("code sent"));
  }));
  server.Post(kApi + "/auth/verify", guarded([&store](const auto& request, auto& response) {
    const JsonObjectReader json(jsonBody(request), "LoginRequest");
    const QString email = json.text("email");
    const bool needsInvite = store.verify(email, json.text("code"));
    answer(response, 200, authAnswer(needsInvite ? QString() : StandinStore::tokenFor(email), email, needsInvite, needsInvite));
  }));
  server.Post(kApi + "/auth/verify-invite", guarded([&store](const auto& request, auto& response) {
    const JsonObjectReader json(jsonBody(request), "VerifyInviteRequest");
    const QString email = json.text("email");
    json.text("device_id");
    json.text("hardware_fingerprint");
    store.verifyInvite(email, json.text("invite_code"));
    answer(response, 200, authAnswer(StandinStore::tokenFor(email), email, true, false));
  }));
  server.Get(kApi + "/auth/invite-codes", guarded([account](const auto& request, auto& response) {
    QJsonArray codes;
    for (const QString& code : StandinStore::inviteCodes(account(request))) {
      codes.append(QJsonObject{{QStringLiteral("code"), code}, {QStringLiteral("is_used"), false}});
    }
    answer(response, 200, {{QStringLiteral("invite_codes"), codes}});
  }));

  // Configuration.
  server.Get(kApi + "/config/startup", guarded([&store](const auto&, auto& response) {
    answer(response, 200, {{QStringLiteral("invite_code_enabled"), store.options().requireInvite},
                           {QStringLiteral("show_invite_codes_enabled"), true},
                           {QStringLiteral("registration_limit_enabled"), false},
                           {QStringLiteral("registration_limit_count"), 1000}});
  }));
  server.Get(kApi + "/config/plan", guarded([&store, account](const auto& request, auto& response) {
    const StandinStore::Account user = store.account(account(request));
    const qint64 total = store.options().credits;
    answer(response, 200,
           {{QStringLiteral("tier"), "trial"},
            {QStringLiteral("credits_total"), total},
            {QStringLiteral("credits_used"), user.creditsUsed},
            {QStringLiteral("credits_remaining"), total - user.creditsUsed},
            {QStringLiteral("credits_reset_at"), QDateTime::currentDateTimeUtc().addDays(30).toString(Qt::ISODateWithMs)},
            {QStringLiteral("invite_code_enabled"), store.options().requireInvite},
            {QStringLiteral("show_invite_codes_enabled"), true}});
  }));
  server.Get(kApi + "/config/recording", guarded([&store, account](const auto& request, auto& response) {
    account(request);
    answer(response, 200, {{QStringLiteral("max_duration_sec"), store.options().maxDurationSec}});
  }));

  // Hotwords.
  server.Get(kApi + "/hotwords", guarded([&store, account](const auto& request, auto& response) {
    answer(response, 200, {{QStringLiteral("hotwords"), toJsonArray(store.hotwords(account(request)))}});
  }));
  server.Post(kApi + "/hotwords", guarded([&store, account](const auto& request, auto& response) {
    const QString email = account(request);
    const QString word = requiredWord(JsonObjectReader(jsonBody(request), "HotWordCreateBody"));
    answer(response, 201, store.addHotword(email, word).toJson());
  }));
  server.Put(kApi + R"(/hotwords/([^/]+))", guarded([&store, account](const auto& request, auto& response) {
    const QString email = account(request);
    const QString word = requiredWord(JsonObjectReader(jsonBody(request), "HotWordUpdateBody"));
    answer(response, 200, store.updateHotword(email, pathId(request), word).toJson());
  }));
  server.Delete(kApi + R"(/hotwords/([^/]+))", guarded([&store, account](const auto& request, auto& response) {
    store.deleteHotword(account(request), pathId(request));
    answer(response, 200, message("deleted"));
  }));

  // Personas.
  server.Get(kApi + "/personas", guarded([&store, account](const auto& request, auto& response) {
    answer(response, 200, {{QStringLiteral("personas"), toJsonArray(store.personas(account(request)))}});
  }));
  server.Post(kApi + "/personas", guarded([&store, account](const auto& request, auto& response) {
    const QString email = account(request);
    const JsonObjectReader json(jsonBody(request), "PersonaCreateBody");
    const PersonaItem item = store.addPersona(email, json.text("name"), json.optionalText("description"),
                                              json.object<PersonaPrompts>("prompts"));
    answer(response, 201, item.toJson());
  }));
  server.Post(kApi + "/personas/deactivate-all", guarded([&store, account](const auto& request, auto& response) {
    store.deactivateAllPersonas(account(request));
    answer(response, 200, message("deactivated"));
  }));
  server.Post(kApi + R"(/personas/([^/]+)/activate)", guarded([&store, account](const auto& request, auto& response) {
    answer(response, 200, store.activatePersona(account(request), pathId(request)).toJson());
  }));
  server.Put(kApi + R"(/personas/([^/]+))", guarded([&store, account](const auto& request, auto& response) {
    const QString email = account(request);
    const JsonObjectReader json(jsonBody(request), "PersonaUpdateBody");
    const PersonaItem item = store.updatePersona(email, pathId(request), json.optionalText("name"),
                                                 json.optionalText("description"),
                                                 json.optionalObject<PersonaPrompts>("prompts"));
    answer(response, 200, item.toJson());
  }));
  server.Delete(kApi + R"(/personas/([^/]+))", guarded([&store, account](const auto& request, auto& response) {
    store.deletePersona(account(request), pathId(request));
    answer(response, 200, message("deleted"));
  }));

  // The recording.
  server.Post(kApi + "/audio/process", guarded([&store, account](const auto& request, auto& response) {
    const QString email = account(request);
    const auto field = [&request](const char* name) -> std::optional<QString> {
      if (!request.has_file(name)) return std::nullopt;
      return QString::fromStdString(request.get_file_value(name).content);
    };
    const QString operation = field("operation").value_or(QString());
    if (operation != QLatin1String("transcribe") && operation != QLatin1String("rewrite") &&
        operation != QLatin1String("agent")) {
      throw StandinRefusal(400, QStringLiteral("UNSUPPORTED_OPERATION"), QStringLiteral("unknown operation"));
    }
    if (!request.has_file("file") || request.get_file_value("file").content.size() <= kWavHeaderSize) {
      throw StandinRefusal(400, QStringLiteral("INVALID_AUDIO"), QStringLiteral("no audio"));
    }
    const double seconds = static_cast<double>(request.get_file_value("file").content.size() - kWavHeaderSize) /
                           kBytesPerSecond;
    const qint64 longest = store.options().maxDurationSec;
    if (seconds > static_cast<double>(longest) + 1.0) {
      answer(response, 413, {{QStringLiteral("code"), "DURATION_EXCEEDED"},
                             {QStringLiteral("message"), "recording too long"},
                             {QStringLiteral("config_update"), QJsonObject{{QStringLiteral("max_duration_sec"), longest}}}});
      return;
    }
    const qint64 creditsLeft = store.chargeCredit(email);
    const QString result = markedResult(operation, field("selected_text").value_or(QString()), seconds);
    answer(response, 200,
           {{QStringLiteral("operation"), operation},
            {QStringLiteral("action_type"), "paste"},
            {QStringLiteral("transcript"), QStringLiteral("[stand-in] %1 s of speech").arg(seconds, 0, 'f', 1)},
            {QStringLiteral("result"), result},
            {QStringLiteral("model_provider"), "standin"},
            {QStringLiteral("model_name"), "standin-echo"},
            {QStringLiteral("credits_remaining"), creditsLeft}});
  }));

  // Diagnostics and documents.
  server.Post(kApi + "/logs/report", guarded([account](const auto& request, auto& response) {
    account(request);
    const JsonObjectReader json(jsonBody(request), "ReportBody");
    const QJsonArray entries = json.value("entries").toArray();
    std::fprintf(stderr, "veltrine-standin: log report from %s with %d entries\n", qPrintable(json.text("app_version")),
                 static_cast<int>(entries.size()));
    answer(response, 200, message("ok"));
  }));
  server.Get(kApi + "/agreements", guarded([](const auto& request, auto& response) {
    const std::string type = request.get_param_value("type");
    if (type != "terms" && type != "privacy") {
      throw StandinRefusal(400, QStringLiteral("INVALID_REQUEST"), QStringLiteral("type is terms or privacy"));
    }
    answer(response, 200, {{QStringLiteral("content"), agreementText(type, request.get_param_value("lang"))}});
  }));
}
