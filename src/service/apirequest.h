#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QUrl>

#include <chrono>
#include <optional>

// One request to the service as the client builds it: URL, method, time-out,
// the header fields in the order they were set, and an optional body. The
// client turns it into a network request only when it sends it.
struct APIRequest {
  QUrl url;
  QByteArray method;
  // Without any progress for this long the request fails as timed out.
  std::chrono::milliseconds timeout{60'000};
  QList<QPair<QByteArray, QByteArray>> headers;
  // Absent: nothing is sent after the headers, and no Content-Type.
  std::optional<QByteArray> body;

  // Setting a header that is already set (names compare case-insensitively)
  // replaces its value in place. A value holding a line break or NUL is not
  // set at all: the network stack would send it raw, ending the header early
  // and letting a corrupt token or key smuggle in headers of its own.
  void setHeader(const QByteArray& name, const QByteArray& value);
  void removeHeader(const QByteArray& name);
  // The value, or a null array when the header is not set.
  QByteArray header(const QByteArray& name) const;
  bool hasHeader(const QByteArray& name) const { return !header(name).isNull(); }

  // "Content-Type: application/json" and the object as compact JSON.
  void setJsonBody(const QJsonObject& object);
};
