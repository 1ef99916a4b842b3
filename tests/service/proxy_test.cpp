#include "core/proxychoice.h"
#include "localization/appstrings.h"
#include "proxystandin.h"
#include "service/apiclient.h"
#include "service/errordescription.h"
#include "serviceclienttest.h"

#include <QNetworkProxyFactory>
#include <QTcpServer>

namespace {

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

QByteArray fieldOf(const QByteArray& head, const QByteArray& name) {
  for (const QByteArray& line : head.split('\n')) {
    if (line.startsWith(name + ':')) return line.mid(name.size() + 1).trimmed();
  }
  return {};
}

// The whole way through: the proxy is asked for a tunnel to the service's host and port, and the request
// reaches the service through it, over TLS checked against the service's own name.
TEST_F(ProxyTest, ARequestGoesThroughTheProxyThatTheVariableOfItsSchemeNames) {
  ASSERT_TRUE(ProxyStandIn::trustOrigin(QStringLiteral("service.example.test")));
  const struct { const char* variable; const char* url; QByteArray tunnel; } rows[] = {
      {"https_proxy", "https://service.example.test/veltrine/api/v1/hotwords", "service.example.test:443"},
      {"HTTPS_PROXY", "https://service.example.test/veltrine/api/v1/hotwords", "service.example.test:443"},
      {"http_proxy", "http://service.example.test:8080/veltrine/api/v1/hotwords", "service.example.test:8080"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.variable);
    clearProxyVariables();
    ProxyStandIn proxy;
    proxy.setOriginAnswer(R"({"hotwords":[{"id":"h1","word":"Qt"}]})");
    qputenv(row.variable, proxy.url());
    const HotWordListResponse answer = awaitTask(fetchHotWords(QString::fromLatin1(row.url)));
    ASSERT_EQ(answer.hotwords.size(), 1);
    EXPECT_EQ(answer.hotwords[0].word, QStringLiteral("Qt"));
    ASSERT_EQ(proxy.proxyRequests().size(), 1);
    EXPECT_TRUE(proxy.proxyRequests()[0].startsWith("CONNECT " + row.tunnel + " HTTP/1.1\r\n"))
        << proxy.proxyRequests()[0].constData();
    // The proxy sees no credential: those travel inside the tunnel.
    EXPECT_FALSE(proxy.proxyRequests()[0].contains("tok"));
    ASSERT_EQ(proxy.tunnelledRequests().size(), 1);
    const QByteArray request = proxy.tunnelledRequests()[0];
    EXPECT_TRUE(request.startsWith("GET /veltrine/api/v1/hotwords HTTP/1.1\r\n")) << request.constData();
    EXPECT_EQ(fieldOf(request, "Authorization"), "Bearer tok");
  }
  // The service on this machine is reached directly, whatever the variables say.
  ProxyStandIn proxy;
  for (const char* variable : {"http_proxy", "https_proxy", "all_proxy"}) qputenv(variable, proxy.url());
  service.route("GET", apiPath("/hotwords"), ScriptedResponse::json(200, R"({"hotwords":[]})"));
  awaitTask(APIClient::shared().fetchHotWords());
  EXPECT_EQ(service.requestCount(), 1);
  EXPECT_TRUE(proxy.proxyRequests().isEmpty());
}

TEST_F(ProxyTest, HostsThatNoProxyNamesAreReachedDirectly) {
  const QByteArray proxy = "http://127.0.0.1:18991";
  // no_proxy: an exact host, a domain with its leading dot, in either spelling of the variable.
  const struct { const char* variable; const char* value; const char* url; bool proxied; } rows[] = {
      {"no_proxy", "service.example.test", "https://service.example.test/x", false},
      {"no_proxy", "service.example.test", "https://other.example.test/x", true},
      {"no_proxy", "intranet.test,.example.test", "https://api.service.example.test/x", false},
      {"no_proxy", ".example.test", "https://example.org/x", true},
      {"NO_PROXY", "service.example.test", "https://service.example.test/x", false},
      {"no_proxy", "", "https://localhost:9/x", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.variable) + '=' + row.value + ' ' + row.url);
    clearProxyVariables();
    qputenv("https_proxy", proxy);
    if (*row.value) qputenv(row.variable, row.value);
    const QNetworkProxy chosen = ProxyChoice::forUrl(QUrl(QString::fromLatin1(row.url)));
    EXPECT_EQ(chosen.type(), row.proxied ? QNetworkProxy::HttpProxy : QNetworkProxy::NoProxy);
    EXPECT_EQ(chosen.port(), row.proxied ? 18991 : 0);
  }
}

TEST_F(ProxyTest, AProxyThatRefusesOrWantsCredentialsFailsWithItsOwnText) {
  ASSERT_TRUE(ProxyStandIn::trustOrigin(QStringLiteral("service.example.test")));
  quint16 closedPort = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    closedPort = probe.serverPort();
  }
  const QString url = QStringLiteral("https://service.example.test/veltrine/api/v1/hotwords");
  // userInfo: what the proxy variable carries before the address.
  const struct { const char* name; ProxyStandIn::Reply reply; QByteArray required; QByteArray userInfo;
                 bool closed; bool passes; } rows[] = {
      {"refuses CONNECT", ProxyStandIn::Reply::refuse, {}, {}, false, false},
      {"wants credentials, none set", ProxyStandIn::Reply::tunnel, "me:secret", {}, false, false},
      {"wants other credentials", ProxyStandIn::Reply::tunnel, "me:secret", "me:guess", false, false},
      {"nobody listens", ProxyStandIn::Reply::tunnel, {}, {}, true, false},
      {"credentials from the variable", ProxyStandIn::Reply::tunnel, "me:secret", "me:secret", false, true},
  };
  for (const AppLanguage language : {AppLanguage::en, AppLanguage::zhHant, AppLanguage::ru}) {
    LanguageManager::shared().setCurrent(language);
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(row.name) + " in " + rawValue(language).toStdString());
      ProxyStandIn proxy(row.reply);
      proxy.requireCredentials(row.required);
      proxy.setOriginAnswer(R"({"hotwords":[]})");
      QByteArray address = proxy.url(row.userInfo);
      if (row.closed) address = "http://127.0.0.1:" + QByteArray::number(closedPort);
      qputenv("https_proxy", address);
      const auto error = failureOf<TransportError>(fetchHotWords(url));
      EXPECT_EQ(proxy.tunnelledRequests().size(), row.passes ? 1 : 0);
      if (row.passes) {
        EXPECT_FALSE(error);
        continue;
      }
      ASSERT_TRUE(error);
      EXPECT_EQ(error->kind(), TransportError::Kind::proxyRefused) << error->detail().toStdString();
      EXPECT_EQ(describeError(*error), stringsFor(language).errorProxyRefused);
    }
  }
}

}  // namespace
