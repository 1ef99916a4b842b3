#pragma once

#include "service/apirequest.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A POST of a JSON report to the service's log endpoint. Reports carry their
// own small header set rather than the common one (no interface language) and
// give up after 10 seconds: they are sent in the background and never worth a
// long wait. Headers, in this order: "Content-Type", "Authorization",
// "X-API-Key" (only when a key is configured), "X-App-Variant".
//
// Nothing when the service address cannot be formed.
std::optional<APIRequest> logReportRequest(const QString& token, const QByteArray& body);
