#include "service/apierrorresponse.h"
#include "service/audiomodels.h"
#include "service/authmodels.h"
#include "service/basicresponses.h"
#include "service/configmodels.h"
#include "service/hotwordmodels.h"
#include "service/jsoncoding.h"
#include "service/personamodels.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <functional>

namespace {

template <typename T>
T decode(const QByteArray& body) {
  return T::fromJson(parseJsonDocument(body));
}

template <typename T>
std::function<void(const QByteArray&)> decoder() {
  return [](const QByteArray& body) { decode<T>(body); };
}

struct StrictCase {
  const char* name;
  std::function<void(const QByteArray&)> decode;
  QByteArray body;
  bool decodes;
};

const QByteArray kPrompts = R"({"transcribe_enabled":true,"rewrite_enabled":false,"intent_enabled":true})";
const QByteArray kAudio = R"("operation":"transcribe","transcript":"hi","result":"Hi.")";

TEST(WireTypes, StrictBodiesAcceptOnlyWhatTheirFieldsAllow) {
  const StrictCase cases[] = {
      {"audio: minimal answer", decoder<AudioProcessResponse>(), "{" + kAudio + R"(,"action_type":"paste"})", true},
      {"audio: unknown action", decoder<AudioProcessResponse>(), "{" + kAudio + R"(,"action_type":"summon"})", false},
      {"audio: action in capitals", decoder<AudioProcessResponse>(), "{" + kAudio + R"(,"action_type":"PASTE"})", false},
      {"audio: action not a string", decoder<AudioProcessResponse>(), "{" + kAudio + R"(,"action_type":1})", false},
      {"audio: credits null", decoder<AudioProcessResponse>(),
       "{" + kAudio + R"(,"action_type":"tip","credits_remaining":null})", true},
      {"audio: credits not whole", decoder<AudioProcessResponse>(),
       "{" + kAudio + R"(,"action_type":"tip","credits_remaining":4.5})", false},
      {"audio: transcript null", decoder<AudioProcessResponse>(),
       R"({"operation":"agent","action_type":"tip","transcript":null,"result":""})", false},
      {"audio: result missing", decoder<AudioProcessResponse>(),
       R"({"operation":"agent","action_type":"tip","transcript":""})", false},
      {"audio: duration update as text", decoder<AudioProcessResponse>(),
       "{" + kAudio + R"(,"action_type":"paste","config_update":{"max_duration_sec":"90"}})", false},
      {"audio: warning of another type", decoder<AudioProcessResponse>(),
       "{" + kAudio + R"(,"action_type":"paste","warning":false})", false},
      {"hotwords: element without created_at", decoder<HotWordListResponse>(),
       R"({"hotwords":[{"id":"1","word":"Veltrine"},{"id":"2","word":"Qt","created_at":null}]})", true},
      {"hotwords: one element without word", decoder<HotWordListResponse>(),
       R"({"hotwords":[{"id":"1","word":"Veltrine"},{"id":"2"}]})", false},
      {"hotwords: id as number", decoder<HotWordListResponse>(), R"({"hotwords":[{"id":1,"word":"x"}]})", false},
      {"hotwords: list missing", decoder<HotWordListResponse>(), "{}", false},
      {"hotwords: body is an array", decoder<HotWordListResponse>(), "[]", false},
      {"personas: complete", decoder<PersonaListResponse>(),
       R"({"personas":[{"id":"p","name":"Mail","is_active":true,"prompts":)" + kPrompts + "}]}", true},
      {"personas: prompts without intent_enabled", decoder<PersonaListResponse>(),
       R"({"personas":[{"id":"p","name":"Mail","is_active":true,"prompts":{"transcribe_enabled":true,"rewrite_enabled":true}}]})",
       false},
      {"personas: is_active as 1", decoder<PersonaListResponse>(),
       R"({"personas":[{"id":"p","name":"Mail","is_active":1,"prompts":)" + kPrompts + "}]}", false},
      {"recording: whole seconds", decoder<RecordingConfigResponse>(), R"({"max_duration_sec":90})", true},
      {"recording: fraction", decoder<RecordingConfigResponse>(), R"({"max_duration_sec":90.5})", false},
      {"recording: text", decoder<RecordingConfigResponse>(), R"({"max_duration_sec":"90"})", false},
      {"recording: beyond 64 bits", decoder<RecordingConfigResponse>(), R"({"max_duration_sec":1e19})", false},
      {"invite codes: without is_used", decoder<MyInviteCodesResponse>(), R"({"invite_codes":[{"code":"AB12"}]})", false},
      {"invite codes: used", decoder<MyInviteCodesResponse>(),
       R"({"invite_codes":[{"code":"AB12","is_used":true,"used_by":"a@b.c","used_at":"2026-01-02T03:04:05Z"}]})", true},
      {"message: present", decoder<MessageResponse>(), R"({"message":"ok"})", true},
      {"message: missing", decoder<MessageResponse>(), "{}", false},
      {"empty: object", decoder<EmptyResponse>(), "{}", true},
      {"empty: any document", decoder<EmptyResponse>(), R"( ["x", 1] )", true},
      {"empty: an empty body", decoder<EmptyResponse>(), "", false},
      {"empty: HTML", decoder<EmptyResponse>(), "<html>ok</html>", false},
      {"empty: two documents", decoder<EmptyResponse>(), "{} {}", false},
      {"error body: complete", decoder<APIErrorResponse>(), R"({"code":"X","message":"m"})", true},
      {"error body: without message", decoder<APIErrorResponse>(), R"({"code":"X"})", false},
  };
  for (const StrictCase& c : cases) {
    bool decoded = true;
    try {
      c.decode(c.body);
    } catch (const JsonDecodeError&) {
      decoded = false;
    }
    EXPECT_EQ(decoded, c.decodes) << c.name;
  }
}

TEST(WireTypes, AudioAnswerCarriesEveryField) {
  const auto answer = decode<AudioProcessResponse>(
      R"({"operation":"agent","action_type":"show_markdown","transcript":"t","result":"r","model_provider":"p",
          "model_name":"m","warning":"w","config_update":{"max_duration_sec":120},"clarify_question":"q",
          "credits_remaining":7,"unknown_key":[1,2]})");
  const AudioProcessResponse expected{QStringLiteral("agent"), ActionType::showMarkdown, QStringLiteral("t"),
                                      QStringLiteral("r"), QStringLiteral("p"), QStringLiteral("m"),
                                      QStringLiteral("w"), ConfigUpdatePayload{120}, QStringLiteral("q"), 7};
  EXPECT_EQ(answer, expected);

}

TEST(WireTypes, LenientBodiesTakeTheirDefaults) {
  using Auth = AuthResponse;
  const QString trial = QStringLiteral("trial");
  const struct {
    const char* body;
    Auth expected;
  } authCases[] = {
      {R"({"token":"t","email":"e"})", {"t", "e", trial, false, false}},
      {R"({"token":"t","email":"e","tier":null})", {"t", "e", trial, false, false}},
      {R"({"token":"t","email":"e","tier":5,"is_new_user":"yes","require_invite":1})", {"t", "e", trial, false, false}},
      {R"({"token":"t","email":"e","tier":"pro","is_new_user":true,"require_invite":true})", {"t", "e", "pro", true, true}},
  };
  for (const auto& c : authCases) EXPECT_EQ(decode<Auth>(c.body), c.expected) << c.body;
  for (const char* body : {R"({"email":"e"})", R"({"token":null,"email":"e"})", R"({"token":"t","email":5})", "[]"}) {
    EXPECT_THROW(decode<Auth>(body), JsonDecodeError) << body;
  }

  EXPECT_EQ(decode<UserPlanInfo>("{}"), (UserPlanInfo{QStringLiteral("none"), 0, 0, 0, std::nullopt, false, false}));
  EXPECT_EQ(decode<UserPlanInfo>(R"({"tier":"pro","credits_total":100.0,"credits_used":12,"credits_remaining":"88",
                                     "credits_reset_at":5,"invite_code_enabled":true,"show_invite_codes_enabled":null})"),
            (UserPlanInfo{QStringLiteral("pro"), 100, 12, 0, std::nullopt, true, false}));
  EXPECT_EQ(decode<UserPlanInfo>(R"({"credits_reset_at":"2026-03-01T00:00:00.000Z"})").creditsResetAt,
            QStringLiteral("2026-03-01T00:00:00.000Z"));
  EXPECT_THROW(decode<UserPlanInfo>("null"), JsonDecodeError);

  const AppStartupConfig startupDefaults{true, false, false, 1000};
  EXPECT_EQ(decode<AppStartupConfig>("{}"), startupDefaults);
  EXPECT_EQ(decode<AppStartupConfig>(R"({"invite_code_enabled":"false","registration_limit_count":2.5})"),
            startupDefaults);
  EXPECT_EQ(decode<AppStartupConfig>(R"({"registration_limit_enabled":true,"registration_limit_count":50})"),
            (AppStartupConfig{true, false, true, 50}));
}

TEST(WireTypes, EncodingLeavesAbsentFieldsOutAndDecodesBack) {
  const auto parsed = [](const QJsonObject& encoded) { return QJsonDocument::fromJson(encodeCompactJson(encoded)).object(); };
  EXPECT_EQ(parsed(PersonaUpdateBody{QStringLiteral("Mail"), std::nullopt, std::nullopt}.toJson()),
            (QJsonObject{{"name", "Mail"}}));
  EXPECT_EQ(parsed(HotWordItem{QStringLiteral("1"), QStringLiteral("Qt"), std::nullopt}.toJson()),
            (QJsonObject{{"id", "1"}, {"word", "Qt"}}));
  EXPECT_EQ(parsed(VerifyInviteRequest{"a@b.c", "INV", "DEV", "ff"}.toJson()),
            (QJsonObject{{"email", "a@b.c"}, {"invite_code", "INV"}, {"device_id", "DEV"}, {"hardware_fingerprint", "ff"}}));
  const PersonaPrompts prompts{QStringLiteral("be brief"), true, std::nullopt, false, QStringLiteral("mail"), false};
  EXPECT_EQ(parsed(prompts.toJson()).keys(), (QStringList{"intent_enabled", "intent_hint", "rewrite_enabled",
                                                          "transcribe_enabled", "transcribe_prompt"}));
  const PersonaItem persona{QStringLiteral("p-1"), QStringLiteral("Mail"), QStringLiteral("for mail"), true, prompts};
  EXPECT_EQ(PersonaItem::fromJson(persona.toJson()), persona);
}

}  // namespace
