#include "diagnostics/logreportrequest.h"

#include "core/appinfo.h"
#include "service/apiclient.h"

std::optional<APIRequest> logReportRequest(const QString& token, const QByteArray& body) {
  APIRequest request;
  try {
    // The client's builder checks the address; its headers are not ours.
    request = APIClient::shared().buildRequest(APIClient::logsReportURL(), "POST");
  } catch (const TransportError&) {
    return std::nullopt;
  }
  request.headers.clear();
  request.timeout = std::chrono::seconds(10);
  request.setHeader("Content-Type", "application/json");
  request.setHeader("Authorization", "Bearer " + token.toUtf8());
  if (const QString apiKey = AppInfo::apiKey(); !apiKey.isEmpty()) request.setHeader("X-API-Key", apiKey.toUtf8());
  request.setHeader("X-App-Variant", "standard");
  request.body = body;
  return request;
}
