#include "core/compactjsonwriter.h"

#include <charconv>
#include <cmath>

void CompactJsonWriter::separate() {
  if (needsComma_) out_.append(',');
  needsComma_ = true;
}

void CompactJsonWriter::beginArray() {
  separate();
  out_.append('[');
  needsComma_ = false;
}

void CompactJsonWriter::endArray() {
  out_.append(']');
  needsComma_ = true;
}

void CompactJsonWriter::beginObject() {
  separate();
  out_.append('{');
  needsComma_ = false;
}

void CompactJsonWriter::endObject() {
  out_.append('}');
  needsComma_ = true;
}

void CompactJsonWriter::key(QLatin1StringView name) {
  separate();
  out_.append('"');
  appendEscaped(QByteArray(name.data(), name.size()));
  out_.append("\":", 2);
  needsComma_ = false;
}

void CompactJsonWriter::string(const QString& value) {
  separate();
  out_.append('"');
  appendEscaped(value.toUtf8());
  out_.append('"');
}

void CompactJsonWriter::number(double value) {
  separate();
  if (!std::isfinite(value)) {
    out_.append("null", 4);
    return;
  }
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (error == std::errc()) {
    out_.append(buffer, end - buffer);
  } else {
    out_.append(QByteArray::number(value, 'g', 17));
  }
}

void CompactJsonWriter::boolean(bool value) {
  separate();
  if (value) {
    out_.append("true", 4);
  } else {
    out_.append("false", 5);
  }
}

void CompactJsonWriter::appendEscaped(const QByteArray& utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  const char* run = utf8.constData();
  const char* const end = run + utf8.size();
  for (const char* at = run; at != end; ++at) {
    const auto byte = static_cast<unsigned char>(*at);
    if (byte >= 0x20 && byte != '"' && byte != '\\') continue;
    out_.append(run, at - run);
    run = at + 1;
    switch (byte) {
      case '"': out_.append("\\\"", 2); break;
      case '\\': out_.append("\\\\", 2); break;
      case '\b': out_.append("\\b", 2); break;
      case '\f': out_.append("\\f", 2); break;
      case '\n': out_.append("\\n", 2); break;
      case '\r': out_.append("\\r", 2); break;
      case '\t': out_.append("\\t", 2); break;
      default: {
        const char escape[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xf]};
        out_.append(escape, sizeof escape);
      }
    }
  }
  out_.append(run, end - run);
}
