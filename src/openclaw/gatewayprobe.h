#pragma once

#include <QCoroTask>
#include <QString>
#include <QUrl>

// Asks whether something answers HTTP at an address of the local gateway.
class GatewayProbe {
 public:
  // One GET with a 2-second time-out, with "Authorization: Bearer <token>"
  // when a token is given. True when any HTTP answer arrives, whatever its
  // status (401 and 404 mean the gateway runs; a redirection is not
  // followed); false on any transport failure or time-out. Never throws.
  QCoro::Task<bool> probe(QUrl url, QString bearerToken = QString());
};
