#include "core/appinfo.h"

#include "core/paths.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TEST(AppInfo, AcceptsHttpsAnywhereAndHttpOnlyOnLoopback) {
  const struct { const char* origin; bool accepted; } cases[] = {
      {"https://service.example.com", true},
      {"http://127.0.0.1:8080", true},
      {"http://localhost:3000", true},
      {"http://[::1]:9000", true},
      {"http://service.example.com", false},
      {"http://localhost.evil.example", false},
      {"ftp://127.0.0.1", false},
      {"https://service.example.com/veltrine", false},
      {"https://user:pw@service.example.com", false},
      {"", false},
  };
  for (const auto& item : cases) {
    QString reason;
    EXPECT_EQ(AppInfo::isAcceptableServiceOrigin(QUrl(QString::fromLatin1(item.origin)), &reason), item.accepted)
        << item.origin;
    EXPECT_EQ(reason.isEmpty(), item.accepted) << item.origin;
  }
}

TEST(AppInfo, EnvironmentOverridesTheConfigFileWhichOverridesTheBuild) {
  QDir().mkpath(Paths::configDirectory());
  QFile file(Paths::configDirectory() + QStringLiteral("/appinfo.json"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(R"({"service_origin": "http://127.0.0.1:7000", "api_key": "from-file"})");
  file.close();
  const QByteArray origin = qgetenv("VELTRINE_SERVICE_ORIGIN");
  const QByteArray key = qgetenv("VELTRINE_API_KEY");
  qunsetenv("VELTRINE_SERVICE_ORIGIN");
  qunsetenv("VELTRINE_API_KEY");
  EXPECT_EQ(AppInfo::serviceOrigin(), QUrl(QStringLiteral("http://127.0.0.1:7000")));
  EXPECT_EQ(AppInfo::apiKey(), QStringLiteral("from-file"));
  qputenv("VELTRINE_SERVICE_ORIGIN", "https://api.example.org/");
  qputenv("VELTRINE_API_KEY", "from-env");
  EXPECT_EQ(AppInfo::serviceOrigin(), QUrl(QStringLiteral("https://api.example.org")));
  EXPECT_EQ(AppInfo::apiKey(), QStringLiteral("from-env"));
  qputenv("VELTRINE_SERVICE_ORIGIN", "http://api.example.org");
  EXPECT_EQ(AppInfo::serviceOrigin(), std::nullopt);
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(AppInfo::shortVersion()).hasMatch());

  file.remove();
  origin.isEmpty() ? qunsetenv("VELTRINE_SERVICE_ORIGIN") : qputenv("VELTRINE_SERVICE_ORIGIN", origin);
  key.isEmpty() ? qunsetenv("VELTRINE_API_KEY") : qputenv("VELTRINE_API_KEY", key);
}

}  // namespace
