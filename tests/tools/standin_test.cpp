// The stand-in service and the real client must agree on the contract: these
// tests drive the stand-in only through APIClient.
#include "standinservice.h"

#include "awaittask.h"
#include "service/apiclient.h"
#include "service/authstore.h"
#include "testenvironment.h"

#include <QFile>

#include <gtest/gtest.h>

#include <thread>

namespace {

class StandinTest : public ::testing::Test {
 protected:
  void start(StandinStore::Options options) {
    service = std::make_unique<StandinService>(options);
    service->setKeepAliveSeconds(0);  // stop() waits for idle connections
    const int port = service->bind(0);
    ASSERT_GT(port, 0);
    serving = std::thread([this] { service->serve(); });
    qputenv("VELTRINE_SERVICE_ORIGIN", QByteArray("http://127.0.0.1:") + QByteArray::number(port));
  }
  void TearDown() override {
    if (service) service->stop();
    if (serving.joinable()) serving.join();
  }

  QString recording(double seconds) {
    QFile file(TestEnvironment::root() + QStringLiteral("/take.wav"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(44 + static_cast<int>(seconds * 32000), '\0'));
    return file.fileName();
  }

  std::unique_ptr<StandinService> service;
  std::thread serving;
};

// The error a request ends with; none when it succeeds.
template <typename T>
std::optional<APIError> refusal(QCoro::Task<T>&& task) {
  try {
    awaitTask(std::move(task));
  } catch (const APIError& error) {
    return error;
  }
  return std::nullopt;
}

TEST_F(StandinTest, SignInListsAndTheUploadWorkThroughTheClient) {
  start({QStringLiteral("4242"), false, 2, 60});
  APIClient& client = APIClient::shared();
  awaitTask(client.post<EmptyResponse>(APIClient::sendCodeURL(), SendCodeRequest{QStringLiteral("ann@example.com")}));
  const AuthResponse auth = awaitTask(client.verifyCode(QStringLiteral("ann@example.com"), QStringLiteral("4242")));
  EXPECT_FALSE(auth.requireInvite);
  AuthStore::shared().setToken(auth.token);

  EXPECT_EQ(awaitTask(client.fetchUserPlanInfo()).creditsRemaining, 2);
  EXPECT_EQ(awaitTask(client.fetchRecordingConfig()).maxDurationSec, 60);
  EXPECT_TRUE(awaitTask(client.fetchStartupConfig()).showInviteCodesEnabled);
  EXPECT_EQ(awaitTask(client.fetchInviteCodes()).inviteCodes.size(), 2);

  const HotWordItem word = awaitTask(client.post<HotWordItem>(APIClient::hotwordsURL(), HotWordCreateBody{QStringLiteral("Qt")}));
  awaitTask(client.put<HotWordItem>(APIClient::hotwordURL(word.id), HotWordUpdateBody{QStringLiteral("QML")}));
  EXPECT_EQ(awaitTask(client.fetchHotWords()).hotwords.value(0).word, QStringLiteral("QML"));
  awaitTask(client.deleteHotWord(word.id));
  EXPECT_TRUE(awaitTask(client.fetchHotWords()).hotwords.isEmpty());

  const PersonaItem persona = awaitTask(client.createPersona(QStringLiteral("Mail"), std::nullopt, PersonaPrompts{}));
  EXPECT_TRUE(awaitTask(client.activatePersona(persona.id)).isActive);
  awaitTask(client.deactivateAllPersonas());
  EXPECT_FALSE(awaitTask(client.fetchPersonas()).personas.value(0).isActive);
  awaitTask(client.deletePersona(persona.id));

  const AudioProcessResponse answer = awaitTask(
      client.processAudio(recording(1.5), QStringLiteral("rewrite"), QStringLiteral("draft"), std::nullopt));
  EXPECT_EQ(answer.actionType, ActionType::paste);
  EXPECT_TRUE(answer.result.startsWith(QStringLiteral("[stand-in]")));
  EXPECT_EQ(answer.creditsRemaining, 1);
  awaitTask(client.processAudio(recording(1.5), QStringLiteral("transcribe"), std::nullopt, std::nullopt));
  const auto exhausted = refusal(client.processAudio(recording(1.5), QStringLiteral("agent"), std::nullopt, std::nullopt));
  ASSERT_TRUE(exhausted && exhausted->response());
  EXPECT_EQ(exhausted->response()->code, QStringLiteral("CREDITS_EXHAUSTED"));

  AuthStore::shared().setToken(std::nullopt);
  const auto signedOut = refusal(client.fetchHotWords());
  ASSERT_TRUE(signedOut);
  EXPECT_EQ(signedOut->kind(), APIError::Kind::unauthorized);
}

TEST_F(StandinTest, NewAccountsCanBeMadeToNeedAnInviteAndLongRecordingsAreRefused) {
  start({QStringLiteral("123456"), true, 100, 10});
  APIClient& client = APIClient::shared();
  EXPECT_TRUE(awaitTask(client.fetchStartupConfig()).inviteCodeEnabled);
  EXPECT_TRUE(awaitTask(client.verifyCode(QStringLiteral("bo@example.com"), QStringLiteral("123456"))).requireInvite);
  const VerifyInviteRequest invite{QStringLiteral("bo@example.com"), QStringLiteral("VTRN-2345"), QStringLiteral("D"),
                                   QStringLiteral("F")};
  const AuthResponse auth = awaitTask(client.post<AuthResponse>(APIClient::verifyInviteURL(), invite));
  EXPECT_FALSE(auth.token.isEmpty());
  AuthStore::shared().setToken(auth.token);
  const auto tooLong = refusal(client.processAudio(recording(12), QStringLiteral("transcribe"), std::nullopt, std::nullopt));
  ASSERT_TRUE(tooLong && tooLong->response() && tooLong->response()->configUpdate);
  EXPECT_EQ(tooLong->response()->code, QStringLiteral("DURATION_EXCEEDED"));
  EXPECT_EQ(tooLong->response()->configUpdate->maxDurationSec, 10);
}

}  // namespace
