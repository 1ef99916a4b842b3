#include "service/apirequest.h"

#include "service/jsoncoding.h"

#include <algorithm>

namespace {

bool sameName(const QByteArray& a, const QByteArray& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

void APIRequest::setHeader(const QByteArray& name, const QByteArray& value) {
  if (value.contains('\r') || value.contains('\n') || value.contains('\0')) {
    removeHeader(name);
    return;
  }
  for (auto& header : headers) {
    if (sameName(header.first, name)) {
      header.second = value;
      return;
    }
  }
  headers.append({name, value});
}

void APIRequest::removeHeader(const QByteArray& name) {
  headers.erase(std::remove_if(headers.begin(), headers.end(),
                               [&name](const auto& header) { return sameName(header.first, name); }),
                headers.end());
}

QByteArray APIRequest::header(const QByteArray& name) const {
  for (const auto& header : headers) {
    if (sameName(header.first, name)) return header.second.isNull() ? QByteArray("") : header.second;
  }
  return {};
}

void APIRequest::setJsonBody(const QJsonObject& object) {
  setHeader("Content-Type", "application/json");
  body = encodeCompactJson(object);
}
