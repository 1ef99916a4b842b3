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

namespace {

template <typename T>
T decode(const QByteArray& body) {
  return T::fromJson(parseJsonDocument(body));
}

template <typename T>
bool decodes(const QByteArray& body) {
  try {
    decode<T>(body);
    return true;
  } catch (const JsonDecodeError&) {
    return false;
  }
}

QByteArray audio(const QByteArray& fields) { return R"({"operation":"op","transcript":"hi","result":"Hi.",)" + fields + "}"; }

TEST(WireTypes, StrictBodiesAcceptOnlyWhatTheirFieldsAllow) {
  using Audio = AudioProcessResponse;
  EXPECT_TRUE(decodes<Audio>(audio(R"("action_type":"paste","credits_remaining":null)")));
  for (const char* wrong : {R"("action_type":"summon")", R"("action_type":"PASTE")",
                            R"("action_type":"tip","credits_remaining":4.5)",
                            R"("action_type":"paste","config_update":{"max_duration_sec":"90"})",
                            R"("action_type":"paste","warning":false)"}) {
    EXPECT_FALSE(decodes<Audio>(audio(wrong))) << wrong;
  }
  EXPECT_FALSE(decodes<Audio>(R"({"operation":"agent","action_type":"tip","transcript":null,"result":""})"));
  EXPECT_TRUE(decodes<HotWordListResponse>(R"({"hotwords":[{"id":"1","word":"V"},{"id":"2","word":"Q","created_at":null}]})"));
  for (const char* wrong : {R"({"hotwords":[{"id":"1","word":"V"},{"id":"2"}]})", R"({"hotwords":[{"id":1,"word":"x"}]})", "[]"}) {
    EXPECT_FALSE(decodes<HotWordListResponse>(wrong)) << wrong;
  }
  const QByteArray persona = R"({"personas":[{"id":"p","name":"Mail","is_active":true,"prompts":{"transcribe_enabled":true,)";
  EXPECT_TRUE(decodes<PersonaListResponse>(persona + R"("rewrite_enabled":false,"intent_enabled":true}}]})"));
  EXPECT_FALSE(decodes<PersonaListResponse>(persona + R"("rewrite_enabled":false}}]})"));
  for (const char* wrong : {R"({"max_duration_sec":90.5})", R"({"max_duration_sec":"90"})", R"({"max_duration_sec":1e19})"}) {
    EXPECT_FALSE(decodes<RecordingConfigResponse>(wrong)) << wrong;
  }
  EXPECT_FALSE(decodes<MyInviteCodesResponse>(R"({"invite_codes":[{"code":"AB12"}]})"));
  EXPECT_FALSE(decodes<MessageResponse>("{}"));
  EXPECT_TRUE(decodes<EmptyResponse>(R"( ["x", 1] )"));
  for (const char* wrong : {"", "<html>ok</html>", "{} {}"}) EXPECT_FALSE(decodes<EmptyResponse>(wrong)) << wrong;
  EXPECT_FALSE(decodes<APIErrorResponse>(R"({"code":"X"})"));

  const AudioProcessResponse expected{QStringLiteral("agent"), ActionType::showMarkdown, QStringLiteral("t"),
                                      QStringLiteral("r"), QStringLiteral("p"), QStringLiteral("m"),
                                      QStringLiteral("w"), ConfigUpdatePayload{120}, QStringLiteral("q"), 7};
  EXPECT_EQ(decode<Audio>(R"({"operation":"agent","action_type":"show_markdown","transcript":"t","result":"r",
      "model_provider":"p","model_name":"m","warning":"w","config_update":{"max_duration_sec":120},
      "clarify_question":"q","credits_remaining":7,"unknown_key":[1,2]})"),
            expected);
}

TEST(WireTypes, LenientBodiesTakeTheirDefaults) {
  using Auth = AuthResponse;
  EXPECT_EQ(decode<Auth>(R"({"token":"t","email":"e","tier":5,"is_new_user":"yes","require_invite":1})"),
            (Auth{"t", "e", QStringLiteral("trial"), false, false}));
  EXPECT_EQ(decode<Auth>(R"({"token":"t","email":"e","tier":"pro","is_new_user":true,"require_invite":true})"),
            (Auth{"t", "e", "pro", true, true}));
  for (const char* body : {R"({"token":null,"email":"e"})", R"({"token":"t","email":5})"}) {
    EXPECT_THROW(decode<Auth>(body), JsonDecodeError) << body;
  }
  EXPECT_EQ(decode<UserPlanInfo>("{}"), (UserPlanInfo{QStringLiteral("none"), 0, 0, 0, std::nullopt, false, false}));
  EXPECT_EQ(decode<UserPlanInfo>(R"({"tier":"pro","credits_total":100.0,"credits_used":12,"credits_remaining":"88",
                                     "credits_reset_at":5,"invite_code_enabled":true,"show_invite_codes_enabled":null})"),
            (UserPlanInfo{QStringLiteral("pro"), 100, 12, 0, std::nullopt, true, false}));
  EXPECT_EQ(decode<AppStartupConfig>(R"({"invite_code_enabled":"false","registration_limit_count":2.5})"),
            (AppStartupConfig{true, false, false, 1000}));
}

TEST(WireTypes, EncodingLeavesAbsentFieldsOutAndDecodesBack) {
  const auto parsed = [](const QJsonObject& encoded) { return QJsonDocument::fromJson(encodeCompactJson(encoded)).object(); };
  EXPECT_EQ(parsed(PersonaUpdateBody{QStringLiteral("Mail"), std::nullopt, std::nullopt}.toJson()),
            (QJsonObject{{"name", "Mail"}}));
  const PersonaPrompts prompts{QStringLiteral("be brief"), true, std::nullopt, false, QStringLiteral("mail"), false};
  const PersonaItem persona{QStringLiteral("p-1"), QStringLiteral("Mail"), QStringLiteral("for mail"), true, prompts};
  EXPECT_EQ(PersonaItem::fromJson(parsed(persona.toJson())), persona);
  EXPECT_FALSE(parsed(prompts.toJson()).contains(QStringLiteral("rewrite_prompt")));
}

}  // namespace
