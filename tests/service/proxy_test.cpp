#include "core/proxychoice.h"
#include "localization/appstrings.h"
#include "proxystandin.h"
#include "service/apiclient.h"
#include "service/errordescription.h"
#include "serviceclienttest.h"

#include <QNetworkProxyFactory>

namespace {

const QString kServiceHost = QStringLiteral("service.example.test");

// What the program does at start: proxies come from the desktop's configuration.
class ProxyTest : public ServiceClientTest {
 protected:
  ProxyTest() {
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    clearProxyVariables();
    AuthStore::shared().setToken(QStringLiteral("tok"));
  }
  ~ProxyTest() override { clearProxyVariables(); }

  static void clearProxyVariables() {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
                             "no_proxy", "NO_PROXY"}) {
      qunsetenv(name);
    }
  }

  static QCoro::Task<HotWordListResponse> fetchHotWords(const QString& url) {
    return APIClient::shared().send<HotWordListResponse>(APIClient::shared().buildRequest(url, "GET"));
  }
};

// The proxy is asked for a tunnel to the service's host and port, and the request reaches the
// service through it, over TLS checked against the service's own name.
TEST_F(ProxyTest, ARequestGoesThroughTheProxyThatTheVariableOfItsSchemeNames) {
  ASSERT_TRUE(ProxyStandIn::trustOrigin(kServiceHost));
  const struct { const char* variable; const char* url; QByteArray tunnel; } rows[] = {
      {"https_proxy", "https://service.example.test/veltrine/api/v1/hotwords", "service.example.test:443"},
      {"HTTPS_PROXY", "https://service.example.test/veltrine/api/v1/hotwords", "service.example.test:443"},
      {"http_proxy", "http://service.example.test:8080/veltrine/api/v1/hotwords", "service.example.test:8080"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.variable);
    clearProxyVariables();
    ProxyStandIn proxy;
    proxy.originAnswer = R"({"hotwords":[{"id":"h1","word":"Qt"}]})";
    qputenv(row.variable, proxy.url());
    const HotWordListResponse answer = awaitTask(fetchHotWords(QString::fromLatin1(row.url)));
    ASSERT_EQ(answer.hotwords.size(), 1);
    EXPECT_EQ(answer.hotwords[0].word, QStringLiteral("Qt"));
    ASSERT_EQ(proxy.proxyRequests.size(), 1);
    EXPECT_TRUE(proxy.proxyRequests[0].startsWith("CONNECT " + row.tunnel + " HTTP/1.1\r\n"));
    EXPECT_FALSE(proxy.proxyRequests[0].contains("tok"));  // credentials travel inside the tunnel
    ASSERT_EQ(proxy.tunnelledRequests.size(), 1);
    EXPECT_TRUE(proxy.tunnelledRequests[0].startsWith("GET /veltrine/api/v1/hotwords HTTP/1.1\r\n"));
    EXPECT_TRUE(proxy.tunnelledRequests[0].contains("\r\nAuthorization: Bearer tok"));
  }
  // The service on this machine is reached directly, whatever the variables say.
  ProxyStandIn proxy;
  for (const char* variable : {"http_proxy", "https_proxy", "all_proxy"}) qputenv(variable, proxy.url());
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"hotwords":[]})"));
  awaitTask(APIClient::shared().fetchHotWords());
  EXPECT_EQ(service.requestCount(), 1);
  EXPECT_TRUE(proxy.proxyRequests.isEmpty());
}

// no_proxy names a host with the hosts below it (as curl and wget read it), with or without a
// leading dot, an address range, or "*" for every host, in either spelling of the variable.
TEST_F(ProxyTest, HostsThatNoProxyNamesAreReachedDirectly) {
  const struct { const char* variable; const char* value; const char* url; bool proxied; } rows[] = {
      {"no_proxy", "service.example.test", "https://service.example.test/x", false},
      {"no_proxy", "service.example.test", "https://other.example.test/x", true},
      {"NO_PROXY", "intranet.test,.example.test", "https://api.service.example.test/x", false},
      {"no_proxy", "localdomain, Example.Test", "https://api.service.example.test/x", false},
      {"no_proxy", "example.test", "https://notexample.test/x", true},
      {"no_proxy", "10.0.0.0/8", "https://10.1.2.3/x", false},
      {"no_proxy", "*", "https://service.example.test/x", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.variable) + '=' + row.value + ' ' + row.url);
    clearProxyVariables();
    qputenv("https_proxy", "http://127.0.0.1:18991");
    qputenv(row.variable, row.value);
    const QNetworkProxy chosen = ProxyChoice::forUrl(QUrl(QString::fromLatin1(row.url)));
    EXPECT_EQ(chosen.type(), row.proxied ? QNetworkProxy::HttpProxy : QNetworkProxy::NoProxy);
  }
}

TEST_F(ProxyTest, AProxyThatRefusesOrWantsCredentialsFailsWithItsOwnText) {
  ASSERT_TRUE(ProxyStandIn::trustOrigin(kServiceHost));
  const struct { const char* name; bool refuses; QByteArray userInfo; bool closed; bool passes; } rows[] = {
      {"refuses CONNECT", true, {}, false, false},
      {"wants credentials, none set", false, {}, false, false},
      {"nobody listens", false, {}, true, false},
      {"credentials from the variable", false, "me:secret", false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ProxyStandIn proxy;
    proxy.refusesConnect = row.refuses;
    proxy.requiredCredentials = "me:secret";
    proxy.originAnswer = R"({"hotwords":[]})";
    qputenv("https_proxy", row.closed ? "http://127.0.0.1:1" : proxy.url(row.userInfo));  // none listens on port 1
    const auto error = failureOf<TransportError>(fetchHotWords("https://" + kServiceHost + "/veltrine/api/v1/hotwords"));
    EXPECT_EQ(proxy.tunnelledRequests.size(), row.passes ? 1 : 0);
    if (row.passes) {
      EXPECT_FALSE(error);
      continue;
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), TransportError::Kind::proxyRefused) << error->detail().toStdString();
    EXPECT_EQ(describeError(*error), currentStrings().errorProxyRefused);
  }
}

}  // namespace
